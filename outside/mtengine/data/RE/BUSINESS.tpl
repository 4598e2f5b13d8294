[Бизнес]
счёт = account
счет = account
акция = share
рынок = market
банк = bank
процент = interest
сделка = deal
фирма = firm
предложение = offer
заказ = order
отчёт = report
отчет = report
