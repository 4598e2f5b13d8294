[Компьютеры]
файл = fichier
мышь = souris
окно = fenêtre
память = mémoire
программа = programme
клавиатура = clavier
экран = écran
папка = dossier
сеть = réseau
