[Бизнес]
счёт = Rechnung
счет = Rechnung
акция = Aktie
рынок = Markt
банк = Bank
процент = Zins
сделка = Geschäft
фирма = Firma
предложение = Angebot
заказ = Auftrag
отчёт = Bericht
отчет = Bericht
