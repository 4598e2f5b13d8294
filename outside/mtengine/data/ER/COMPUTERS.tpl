[Компьютеры]
file = файл
mouse = мышь
window = окно
memory = память
program = программа
keyboard = клавиатура
screen = экран
disk = диск
folder = папка
network = сеть
server = сервер
driver = драйвер
bug = ошибка
virus = вирус
save = сохранить
delete = удалить
click = щёлкнуть
