[Компьютеры]
файл = file
мышь = mouse
окно = window
память = memory
программа = program
клавиатура = keyboard
экран = screen
папка = folder
сеть = network
