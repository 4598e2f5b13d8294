[Компьютеры]
fichier = файл
souris = мышь
fenêtre = окно
mémoire = память
programme = программа
clavier = клавиатура
écran = экран
dossier = папка
réseau = сеть
