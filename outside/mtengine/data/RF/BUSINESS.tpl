[Бизнес]
счёт = facture
счет = facture
акция = action
рынок = marché
банк = banque
процент = intérêt
сделка = affaire
фирма = entreprise
предложение = offre
заказ = commande
отчёт = rapport
отчет = rapport
