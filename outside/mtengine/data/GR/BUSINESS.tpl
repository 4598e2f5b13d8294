[Бизнес]
rechnung = счёт
aktie = акция
markt = рынок
bank = банк
konto = счёт
zins = процент
geschäft = сделка
firma = фирма
angebot = предложение
auftrag = заказ
bericht = отчёт
