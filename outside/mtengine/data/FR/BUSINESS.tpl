[Бизнес]
facture = счёт
action = акция
marché = рынок
banque = банк
compte = счёт
intérêt = процент
affaire = сделка
entreprise = фирма
offre = предложение
commande = заказ
rapport = отчёт
