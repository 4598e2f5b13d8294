[Компьютеры]
файл = Datei
мышь = Maus
окно = Fenster
память = Speicher
программа = Programm
клавиатура = Tastatur
экран = Bildschirm
папка = Ordner
сеть = Netzwerk
