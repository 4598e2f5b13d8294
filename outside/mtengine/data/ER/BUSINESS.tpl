[Бизнес]
file = дело
bill = счёт
share = акция
market = рынок
bank = банк
account = счёт
interest = процент
deal = сделка
firm = фирма
offer = предложение
order = заказ
capital = капитал
report = отчёт
meeting = совещание
