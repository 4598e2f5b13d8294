[Компьютеры]
datei = файл
maus = мышь
fenster = окно
speicher = память
programm = программа
tastatur = клавиатура
bildschirm = экран
ordner = папка
netz = сеть
netzwerk = сеть
