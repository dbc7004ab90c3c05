"""The steps of the walk, in the order a user would take them."""
import glob
import os
import signal
import subprocess
import time

from walk_world import Failure, wait_for

CHOOSER = "Вариндел. Доступные карты"
SPLASH = "Вариндел"
FINISH = "Завершение"
PAGES = [("Категории", "Каталог предприятий"), ("Избранное", "Мои закладки"),
         ("Поиск организаций", "Поиск организаций"), ("Поиск домов", "Поиск домов"),
         ("Информация о здании", "Информация об объекте"), ("Дневник", "Дневник")]
NOTE_KINDS = ["Отправить пожелание", "Отправить предложение", "Отправить замечание",
              "Отправить неточность", "Отправить ошибку", "Другое"]


def walk(world):
    short_visit(world, edition=2, city="Корвинск")
    full_visit(world)


# ------------------------------------------------------------------ start-up

def open_edition(world, city, run_name):
    world.start_program(run_name)
    world.step("edition chooser: %s" % city)
    chooser = world.window(CHOOSER, 40)
    world.visit(CHOOSER)
    choices = world.find(chooser, "list")
    items = {item.name: item for item in world.lines(choices)}
    if set(items) != {"Ольмарск", "Корвинск"}:
        raise Failure("the chooser offers %s" % sorted(items))
    world.click(items[city])
    wait_for(lambda: city in world.find(chooser, "label", contains="Сентябрь").name, 5,
             "the description of %s" % city)
    world.shot("chooser-" + city)
    world.press(world.find(chooser, "push button", "Загрузить"))

    world.step("splash, left with Enter")
    splash = world.window(SPLASH, 30)
    world.visit("заставка")
    gauge = world.find(splash, "progress bar")
    wait_for(lambda: gauge.queryValue().currentValue >= 100, 30, "the splash's gauge to fill")
    button = world.find(splash, "push button", "Продолжить")
    wait_for(lambda: button.getState().contains(world.pyatspi.STATE_FOCUSED), 5,
             "the keyboard on «Продолжить»")
    world.shot("splash-" + city)
    world.key("Return")
    main = world.window(city, 30, exact=False)
    world.no_window(SPLASH)
    if world.huge_page_heap() is False:
        raise Failure("the program's heap is on small pages: the host did not restart with glibc.malloc.hugetlb")
    if world.process_name() != "varindel":
        raise Failure("the process list shows the program as «%s»" % world.process_name())
    if world.opened():
        raise Failure("Enter on the splash opened %s" % world.opened())
    return main


def close_through_finish(world):
    world.step("closing the main window through the closing screen")
    world.key("alt+F4")
    finish = world.window(FINISH, 20)
    world.visit(FINISH)
    world.shot("finish")
    world.press(world.find(finish, "push button", "Спасибо"))
    code = world.wait_exit(30)
    if code < 0:
        raise Failure("the program was killed by signal %s while closing" % signal.Signals(-code).name)
    if code != 0:
        raise Failure("the program ended with exit status %d" % code)
    statistics = glob.glob(os.path.join(world.data_dir, "**", "HETreeView.dcp"), recursive=True) + \
        glob.glob(os.path.join(world.home, "**", "HETreeView.dcp"), recursive=True)
    if not statistics or os.path.getsize(statistics[0]) == 0:
        raise Failure("no usage statistics were written")
    return statistics[0]


def short_visit(world, edition, city):
    main = open_edition(world, city, "edition%d" % edition)
    world.step("main window of %s" % city)
    world.visit("главное окно (%s)" % city)
    check_maximised(world, main)
    world.shot("main-" + city)
    close_through_finish(world)


def check_maximised(world, main):
    wait_for(lambda: main.queryComponent().getExtents(world.pyatspi.DESKTOP_COORDS).width >= 1200, 10,
             "the main window to fill the screen")


# --------------------------------------------------------------- the full walk

def full_visit(world):
    main = open_edition(world, "Ольмарск", "edition1")
    world.visit("главное окно (Ольмарск)")
    check_maximised(world, main)
    world.shot("main-Ольмарск")
    every_page(world, main)
    firms = category_and_card(world, main)
    address_flies(world, main, firms)
    search_by_name_and_street(world, main, firms)
    house_search_and_building(world, main, firms)
    favourites_and_bookmark(world, main, firms)
    diary_line(world, main, firms)
    zoom_wheel_instruments(world, main)
    mini_map(world, main)
    print_and_save(world, main)
    send_menu(world, main)
    help_menu(world, main)
    article_from_card(world, main, firms)
    close_through_finish(world)


def page(world, main, button, title):
    # A checkable button's accessible action only toggles it; the user clicks it.
    world.click(world.find(main, "check box", button))
    world.find(main, "label", title, timeout=5)


def every_page(world, main):
    for button, title in PAGES:
        world.step("page button «%s»" % button)
        page(world, main, button, title)
        world.shot("page-" + button)
    page(world, main, "Категории", "Каталог предприятий")


def firm_list(world, main):
    return world.find(main, "list", "Организации")


def lines_with(world, listbox, text, timeout=10):
    try:
        return wait_for(lambda: [line for line in world.lines(listbox) if text in line.name], timeout,
                        "a line with «%s» in «%s»" % (text, listbox.name))
    except Failure as failure:
        raise Failure("%s; it reads: %s" % (failure, [line.name for line in world.lines(listbox)][:8]))


def category_and_card(world, main):
    world.step("a category")
    tree = world.find(main, "tree")
    cells = [tree.getChildAtIndex(i) for i in range(tree.childCount)]
    health = [cell for cell in cells if cell.name == "Здоровье"]
    if not health:
        raise Failure("no category «Здоровье» among %s" % [cell.name for cell in cells][:20])
    world.click(health[0])
    firms = firm_list(world, main)
    first = wait_for(lambda: world.lines(firms), 10, "the firms of «Здоровье»")
    names = [line.name for line in first]
    world.shot("category")

    world.step("a firm's card")
    line = next(line for line in world.lines(firms) if line.childCount > 0)
    name = line.getChildAtIndex(0).name
    world.press(line.getChildAtIndex(0))
    card = lines_with(world, firms, "Адрес")
    if name not in card[0].name:
        raise Failure("the card of «%s» reads «%s»" % (name, card[0].name))
    world.shot("card")
    if not names:
        raise Failure("the category shows no firm")
    return firms


def map_picture(world, main):
    area = world.find(main, "filler", "Карта города")
    x, y, width, height = area.queryComponent().getExtents(world.pyatspi.DESKTOP_COORDS)
    path = world.shot("map")
    crop = path[:-4] + "-crop.png"
    subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", crop],
                   check=True)
    return crop, (x + width // 2, y + height // 2)


def pictures_differ(first, second):
    result = subprocess.run(["compare", "-metric", "AE", first, second, "null:"], capture_output=True,
                            text=True)
    try:
        return float(result.stderr.split()[0]) > 1000
    except (ValueError, IndexError):
        return True


def address_flies(world, main, firms):
    world.step("an address: the map flies to the building")
    before, _ = map_picture(world, main)
    card = lines_with(world, firms, "Адрес")[0]
    links = [card.getChildAtIndex(i) for i in range(card.childCount)]
    addresses = [link for link in links if link.description.startswith("A")]
    if not addresses:
        raise Failure("the card has no address link: %s" % [link.description for link in links])
    world.press(addresses[0])
    time.sleep(2.5)
    after, _ = map_picture(world, main)
    if not pictures_differ(before, after):
        raise Failure("the map did not move to the address")


def search_by_name_and_street(world, main, firms):
    world.step("search by name")
    page(world, main, "Поиск организаций", "Поиск организаций")
    name_field = world.find(main, "text", "Название организации")
    world.set_text(name_field, "Салон")
    world.press(world.find(main, "push button", "Начать поиск"))
    found = lines_with(world, firms, "Салон")
    world.shot("search-name")
    world.set_text(name_field, "")
    world.press(world.find(main, "push button", "Очистить"))

    world.step("search by street")
    street, house = world.street_with_firm
    combo = world.find(world.find(main, "push button", "Начать поиск").parent, "combo box")
    world.set_text(world.find(combo, "text"), street)
    world.press(world.find(main, "push button", "Начать поиск"))
    wait_for(lambda: world.lines(firms) and world.lines(firms) != found, 10, "firms of %s" % street)
    world.shot("search-street")


def house_search_and_building(world, main, firms):
    world.step("house search")
    page(world, main, "Поиск домов", "Поиск домов")
    street, house = world.street_with_firm
    pages = world.find(main, "layered pane")
    house_page = [pages.getChildAtIndex(i) for i in range(pages.childCount)][3]
    # The street box's name is its shown text, which goes while it has the keyboard.
    world.set_text(world.find(world.find(house_page, "combo box"), "text"), street)
    world.set_text(world.find(house_page, "text", "Дом"), house)
    world.press(world.find(house_page, "push button", "Начать поиск"))
    houses = lines_with(world, firms, street)
    world.shot("house-search")
    world.press(houses[0].getChildAtIndex(0))
    time.sleep(2)

    world.step("the building page")
    page(world, main, "Информация о здании", "Информация об объекте")
    building = world.find(main, "list", "Информация об объекте")
    wait_for(lambda: world.lines(building), 10, "the building's lines")
    world.shot("building")


def search_firm(world, main, firms, name):
    """The firm search for one name alone: every line of the answer names it."""
    page(world, main, "Поиск организаций", "Поиск организаций")
    search = world.find(main, "push button", "Начать поиск")
    world.set_text(world.find(search.parent, "text", "Название организации"), name)
    world.set_text(world.find(world.find(search.parent, "combo box"), "text"), "")
    world.press(search)
    # The button's press comes as a click a moment later; the list shown until then may be the last answer.
    time.sleep(0.5)
    return wait_for(lambda: [line for line in world.lines(firms) if name in line.name]
                    if all(name in line.name for line in world.lines(firms)) else None, 10,
                    "«%s» alone in the firm list" % name)


def firm_menu(world, firms, line, item):
    # The line's own "show menu" action, as a screen reader offers it.
    world.press(line, "ShowMenu")
    world.choose(item)


def favourites_and_bookmark(world, main, firms):
    world.step("favourites: added")
    line = search_firm(world, main, firms, world.article_firm)[0]
    firm_menu(world, firms, line, "Добавить в избранное")
    page(world, main, "Избранное", "Мои закладки")
    favourite = lines_with(world, firms, world.article_firm)[0]
    world.shot("favourite-added")

    world.step("a bookmark from the map menu")
    tabs = world.find(main, "page tab list")
    count = sum(1 for i in range(tabs.childCount) if tabs.getChildAtIndex(i).getRoleName() == "page tab")
    _, centre = map_picture(world, main)
    world.click_at(centre[0], centre[1], 3)
    world.choose("Добавить в закладки")
    wait_for(lambda: sum(1 for i in range(tabs.childCount)
                         if tabs.getChildAtIndex(i).getRoleName() == "page tab") > count, 10,
             "a new bookmark tab")
    world.shot("bookmark")

    world.step("favourites: removed")
    favourite = lines_with(world, firms, world.article_firm)[0]
    firm_menu(world, firms, favourite, "Удалить из избранного")
    answer_question(world)
    wait_for(lambda: not any(world.article_firm in line.name for line in world.lines(firms)), 10,
             "the favourite to go")
    world.shot("favourite-removed")


def answer_question(world, answer="Да"):
    """A question box, when one comes, is answered in Russian."""
    deadline = time.monotonic() + 2
    while time.monotonic() < deadline:
        for window in world.windows():
            if window.getRoleName() in ("dialog", "alert"):
                buttons = world.buttons(window)
                if answer in buttons:
                    world.shot("question")
                    world.press(buttons[answer])
                    return
                raise Failure("a question box without «%s»: %s" % (answer, sorted(buttons)))
        time.sleep(0.1)


def diary_line(world, main, firms):
    world.step("a diary line from the map menu")
    _, centre = map_picture(world, main)
    world.click_at(centre[0], centre[1], 3)
    world.choose("Добавить в дневник")
    world.find(main, "label", "Дневник", timeout=5)
    lines_with(world, firms, "Удалить")
    world.shot("diary")


def scale_text(world, main):
    return world.find(main, "label", contains="Масштаб:").name.split("Курсор")[0]


def zoom_wheel_instruments(world, main):
    world.step("zoom with the keys")
    _, centre = map_picture(world, main)
    world.click(world.find(main, "check box", "Указатель"))
    world.click_at(centre[0] + 40, centre[1] + 40)
    before = scale_text(world, main)
    world.key("plus")
    wait_for(lambda: scale_text(world, main) != before, 5, "the scale to change on +")
    world.step("zoom with the wheel")
    before = scale_text(world, main)
    world.click_at(centre[0], centre[1], 5)
    world.click_at(centre[0], centre[1], 5)
    wait_for(lambda: scale_text(world, main) != before, 5, "the scale to change on the wheel")
    world.shot("zoom")
    for name in ("Масштаб", "Перетаскивание карты", "Измерение расстояний", "Указатель"):
        world.step("instrument «%s»" % name)
        button = world.find(main, "check box", name)
        world.click(button)
        wait_for(lambda: button.getState().contains(world.pyatspi.STATE_CHECKED), 5, "«%s» down" % name)
        if name == "Измерение расстояний":
            world.click_at(centre[0] - 100, centre[1])
            world.click_at(centre[0] + 100, centre[1] + 50)
            world.shot("measure")
            world.key("Escape")
        elif name == "Перетаскивание карты":
            subprocess.run(["xdotool", "mousemove", str(centre[0]), str(centre[1]), "mousedown", "1",
                            "mousemove", str(centre[0] + 80), str(centre[1] + 30), "mouseup", "1"], check=True)
    world.shot("instruments")


def mini_map(world, main):
    world.step("the mini-map")
    world.click(world.find(main, "check box", "Миникарта"))
    world.window("Миникарта", 10)
    world.visit("Миникарта")
    world.shot("minimap")
    world.click(world.find(main, "check box", "Миникарта"))
    world.no_window("Миникарта")


def print_and_save(world, main):
    world.step("print preview and printing to the PDF queue")
    world.press(world.find(main, "push button", "Печать"))
    world.choose("Печать")
    preview = world.window("Предпросмотр", 20)
    world.visit("Предпросмотр")
    world.shot("print-preview")
    if os.geteuid() != 0:
        # cups-pdf is a back end only a scheduler started by root runs.
        print("  (not root: the PDF queue cannot print; the preview is cancelled)", flush=True)
        world.press(world.find(preview, "push button", "Отмена"))
        world.no_window("Предпросмотр", 20)
        return save_to_file(world, main)
    pdfs = set(glob.glob(os.path.join(world.pdf_folder, "*.pdf")))
    world.press(world.find(preview, "push button", "Печать"))
    wait_for(lambda: set(glob.glob(os.path.join(world.pdf_folder, "*.pdf"))) - pdfs, 40,
             "the printed PDF from the queue")
    world.no_window("Предпросмотр", 20)
    save_to_file(world, main)


def save_to_file(world, main):
    world.step("saving the map to a file")
    world.press(world.find(main, "push button", "Печать"))
    world.choose("Сохранить в файл")
    dialog = wait_for(lambda: next((w for w in world.windows() if w.getRoleName() == "dialog"), None), 10,
                      "the save dialog")
    world.visit("диалог сохранения (%s)" % dialog.name)
    buttons = world.buttons(dialog)
    if "Сохранить" not in buttons:
        raise Failure("the save dialog speaks another language: %s" % sorted(buttons))
    target = os.path.join(world.temp, "saved-map.bmp")
    field = world.find(dialog, "text", showing=True)
    world.set_text(field, target)
    world.shot("save-dialog")
    world.press(buttons["Сохранить"])
    wait_for(lambda: os.path.exists(target) and os.path.getsize(target) > 1000, 30, "the saved map file")


def send_menu(world, main):
    world.step("send menu: a publication request")
    sent = world.mail_count()
    world.press(world.find(main, "push button", "Cвязь с Варинделом"))
    world.choose("Отправить заявку")
    form = world.window("Отправить заявку ", 10)
    world.visit("Отправить заявку")
    for label, text in (("Название организации*", "Пекарня «Проверка»"), ("Фио*", "Иванов И. И."),
                        ("Виды деятельности (максимум - 3 категории)*", "Хлеб"),
                        ("Электронный адрес", "baker@varindel.test")):
        world.set_text(world.find(form, "text", label), text)
    world.set_text(world.find(form, "text", "Краткое описание(инфо)*"), "Пекарня у вокзала.")
    world.shot("publish")
    world.press(world.find(form, "push button", "Отправить"))
    acknowledge(world, "Ваша заявка будет рассмотрена")
    wait_for(lambda: world.mail_count() > sent, 20, "the request at the mail server")
    close_form(world, form, "Закрыть")

    for kind in NOTE_KINDS:
        world.step("send menu: «%s»" % kind)
        sent = world.mail_count()
        world.press(world.find(main, "push button", "Cвязь с Варинделом"))
        world.choose("Cвязь с Варинделом")
        world.choose(kind)
        form = world.window("Cвязь с варинделом", 10)
        world.visit("Cвязь с варинделом")
        world.set_text(world.find(form, "text", "Комментарий"), "Проверка: %s." % kind)
        mail = [node for node in world.all_of(form, "text") if "mail" in node.name.lower()]
        if mail:
            world.set_text(mail[0], "walker@varindel.test")
        if kind == NOTE_KINDS[0]:
            world.shot("note")
        world.press(world.find(form, "push button", "Отправить"))
        acknowledge(world, "")
        wait_for(lambda: world.mail_count() > sent, 20, "the note at the mail server")
        close_form(world, form, "Отмена")


def acknowledge(world, text):
    box = wait_for(lambda: next((w for w in world.windows() if w.getRoleName() in ("alert", "dialog")
                                 and w.name == "Вариндел"), None), 20, "the answer of the mail form")
    if text and not world.find(box, "label", contains=text, timeout=3):
        raise Failure("the mail form answered otherwise")
    world.press(next(iter(world.buttons(box).values())))
    world.no_window("Вариндел")


def close_form(world, form, button):
    """A form that stayed open after sending is closed with its button."""
    name = form.name
    time.sleep(0.3)
    if any(window.name == name for window in world.windows()):
        world.press(world.find(form, "push button", button))
    world.no_window(name)


def help_menu(world, main):
    world.step("help: the price list")
    open_help_item(world, main, "Прайс-лист")
    viewer = world.window("Прайс-лист", 20)
    world.visit("Прайс-лист")
    time.sleep(3)
    world.alive()
    world.shot("price-list")
    world.key("alt+F4")
    world.no_window(viewer.name)

    for item, document in (("Справка", "help.chm"), ("Лицензия", "license.chm")):
        world.step("help: «%s»" % item)
        open_help_item(world, main, item)
        wait_for(lambda: document in world.opened(), 10, "%s handed to the desktop" % document)

    world.step("help: partners")
    open_help_item(world, main, "Наши партнеры")
    partners = world.window("Наши партнеры", 10)
    world.visit("Наши партнеры")
    world.shot("partners")
    world.press(world.find(partners, "push button", "Закрыть"))
    world.no_window("Наши партнеры")

    world.step("help: settings, 3D on and applied")
    open_help_item(world, main, "Настройки")
    settings = world.window("Настройки", 10)
    world.visit("Настройки")
    view3d = world.find(settings, "check box", "3D вид")
    if not view3d.getState().contains(world.pyatspi.STATE_CHECKED):
        world.click(view3d)
        wait_for(lambda: view3d.getState().contains(world.pyatspi.STATE_CHECKED), 5, "3D on")
    world.press(world.find(settings, "push button", "Применить"))
    time.sleep(1)
    world.shot("settings-3d")
    world.press(world.find(settings, "push button", "OK"))
    world.no_window("Настройки")
    world.shot("map-3d")

    world.step("help: about")
    open_help_item(world, main, "О программе")
    about = world.window("О программе", 10)
    world.visit("О программе")
    world.shot("about")
    world.press(world.find(about, "push button", "Cool!"))
    world.no_window("О программе")


def open_help_item(world, main, item):
    world.press(world.find(main, "push button", "Помощь"))
    world.choose(item)


def article_from_card(world, main, firms):
    world.step("an article from a card")
    line = search_firm(world, main, firms, world.article_firm)[0]
    world.press(line.getChildAtIndex(0))
    card = lines_with(world, firms, "Статья")[0]
    article = next(card.getChildAtIndex(i) for i in range(card.childCount)
                   if card.getChildAtIndex(i).name == "Статья")
    world.press(article)
    viewer = world.window("Статья: " + world.article_firm, 20)
    world.visit("статья (%s)" % viewer.name)
    time.sleep(3)
    world.alive()
    world.shot("article")
    world.key("alt+F4")
    world.no_window(viewer.name)
