<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>AccessProblem</name>
    <message>
        <source>The VESTRA7 adapter was found but cannot be opened.
</source>
        <translation>Адаптер VESTRA7 найден, но открыть его не удаётся.
</translation>
    </message>
    <message>
        <source>Reason: %1
</source>
        <translation>Причина: %1
</translation>
    </message>
    <message>
        <source>The udev rule %1 gives the logged-in user access to the adapter. To apply it now, run
</source>
        <translation>Правило udev %1 даёт пользователю, вошедшему в систему, доступ к адаптеру. Чтобы применить его сейчас, выполните
</translation>
    </message>
    <message>
        <source>The udev rule %1, which gives the logged-in user access to the adapter, is not installed. Install the vestra7 package, or run &quot;sudo cmake --install&quot; on your build folder, then run
</source>
        <translation>Правило udev %1, которое даёт пользователю, вошедшему в систему, доступ к адаптеру, не установлено. Установите пакет vestra7 или выполните «sudo cmake --install» в каталоге сборки, затем выполните
</translation>
    </message>
    <message>
        <source>or unplug the adapter and plug it in again.</source>
        <translation>или отключите адаптер и подключите его снова.</translation>
    </message>
</context>
<context>
    <name>AdapterLock</name>
    <message>
        <source>cannot lock the adapter: %1</source>
        <translation>не удаётся заблокировать адаптер: %1</translation>
    </message>
    <message>
        <source>adapter in use by another process</source>
        <translation>адаптер занят другим процессом</translation>
    </message>
    <message>
        <source>adapter in use by process %1 (%2)</source>
        <translation>адаптер занят процессом %1 (%2)</translation>
    </message>
    <message>
        <source>adapter in use by process %1</source>
        <translation>адаптер занят процессом %1</translation>
    </message>
</context>
<context>
    <name>BackupStep</name>
    <message>
        <source>Unknown step</source>
        <translation>Неизвестный шаг</translation>
    </message>
    <message>
        <source>First seen in this session</source>
        <translation>Первое подключение за сеанс</translation>
    </message>
    <message>
        <source>Before &quot;Set to default&quot;</source>
        <translation>Перед командой «Сброс по умолчанию»</translation>
    </message>
    <message>
        <source>Before &quot;Reset settings&quot;</source>
        <translation>Перед командой «Сбросить настройки»</translation>
    </message>
    <message>
        <source>Before &quot;Load from file&quot;</source>
        <translation>Перед командой «Загрузить из файла»</translation>
    </message>
    <message>
        <source>Before a firmware update</source>
        <translation>Перед обновлением прошивки</translation>
    </message>
    <message>
        <source>Before deleting a phone-book entry</source>
        <translation>Перед удалением записи из телефонной книги</translation>
    </message>
    <message>
        <source>Before deleting a call-list entry</source>
        <translation>Перед удалением записи из списка вызовов</translation>
    </message>
    <message>
        <source>Before importing contacts</source>
        <translation>Перед импортом контактов</translation>
    </message>
    <message>
        <source>Before restoring a backup</source>
        <translation>Перед восстановлением резервной копии</translation>
    </message>
    <message>
        <source>Before replacing a phone-book entry</source>
        <translation>Перед заменой записи телефонной книги</translation>
    </message>
</context>
<context>
    <name>BackupStore</name>
    <message>
        <source>Cannot back up the adapter&apos;s record to &quot;%1&quot;. %2</source>
        <translation>Не удаётся сохранить резервную копию данных адаптера в «%1». %2</translation>
    </message>
    <message>
        <source>The folder cannot be created.</source>
        <translation>Не удаётся создать папку.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a backup of the adapter&apos;s record.</source>
        <translation>«%1» не является резервной копией данных адаптера.</translation>
    </message>
</context>
<context>
    <name>CheckedFiles</name>
    <message>
        <source>It is not a regular file.</source>
        <translation>Это не обычный файл.</translation>
    </message>
    <message>
        <source>It is not a folder.</source>
        <translation>Это не папка.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>vestra7 %1
Qt %2 (built with %3)
hidapi %4
</source>
        <translation>vestra7 %1
Qt %2 (сборка с Qt %3)
hidapi %4
</translation>
    </message>
    <message>
        <source>Configures and controls a VESTRA7 two-line cellular voice adapter on USB.</source>
        <translation>Настройка двухлинейного сотового голосового адаптера VESTRA7, подключённого по USB, и управление им.</translation>
    </message>
    <message>
        <source>Log what the program does (categories vestra7.*) to standard error.</source>
        <translation>Записывать действия программы (категории vestra7.*) в стандартный поток ошибок.</translation>
    </message>
    <message>
        <source>Write every report to and from the adapter, with its time, to &lt;file&gt;.</source>
        <translation>Записывать в &lt;файл&gt; каждый отчёт, отправленный адаптеру и полученный от него, с отметкой времени.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>Справка: «%1 --help».</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>Неизвестная команда «%1».</translation>
    </message>
    <message>
        <source>The command &apos;%1&apos; needs a file.</source>
        <translation>Команде «%1» нужен файл.</translation>
    </message>
    <message>
        <source>Unknown argument &apos;%1&apos;.</source>
        <translation>Неизвестный аргумент «%1».</translation>
    </message>
    <message>
        <source>--serial and --all cannot go together.</source>
        <translation>--serial и --all нельзя указывать вместе.</translation>
    </message>
    <message>
        <source>The command &apos;list&apos; shows every adapter and takes neither --serial nor --all.</source>
        <translation>Команда «list» показывает все адаптеры и не принимает ни --serial, ни --all.</translation>
    </message>
    <message>
        <source>Run the command on the adapter with this serial number; without it, on the adapter the window would use.</source>
        <translation>Выполнить команду на адаптере с этим серийным номером; без него — на адаптере, который использовало бы окно.</translation>
    </message>
    <message>
        <source>Run the command on every adapter, one after another; update on all at once.</source>
        <translation>Выполнить команду на каждом адаптере по очереди; update — на всех сразу.</translation>
    </message>
    <message>
        <source>Print the adapters and the results as JSON.</source>
        <translation>Вывести адаптеры и результаты в формате JSON.</translation>
    </message>
    <message>
        <source>A command to run without the window (see below).</source>
        <translation>Команда, выполняемая без окна (см. ниже).</translation>
    </message>
    <message>
        <source>--serial needs a serial number.</source>
        <translation>Для --serial нужен серийный номер.</translation>
    </message>
    <message>
        <source>Standard output (-) goes with neither --all nor --json.</source>
        <translation>Стандартный вывод (-) нельзя сочетать ни с --all, ни с --json.</translation>
    </message>
    <message>
        <source>--port and --all cannot go together.</source>
        <translation>--port и --all нельзя указывать вместе.</translation>
    </message>
    <message>
        <source>The command &apos;list&apos; shows every adapter and takes no --port.</source>
        <translation>Команда &apos;list&apos; показывает все адаптеры и не принимает --port.</translation>
    </message>
    <message>
        <source>Run the command on the adapter in this USB port (as &apos;list&apos; shows it, such as 1-1.2): for adapters that share a serial number or have none.</source>
        <translation>Выполнить команду на адаптере в этом порту USB (как его показывает &apos;list&apos;, например 1-1.2): для адаптеров с одинаковым серийным номером или без него.</translation>
    </message>
    <message>
        <source>--port needs a USB port path.</source>
        <translation>Для --port нужен путь порта USB.</translation>
    </message>
    <message>
        <source>Go on with a file the command would refuse: a configuration file of another size, contacts that look wrong or lose characters, an update that is no newer.</source>
        <translation>Продолжить с файлом, который команда отвергла бы: файл конфигурации другого размера, контакты, которые выглядят неверно или теряют символы, обновление не новее установленного.</translation>
    </message>
    <message>
        <source>Go on when the adapter&apos;s record cannot be backed up before it is replaced.</source>
        <translation>Продолжить, если данные адаптера не удаётся сохранить в резервную копию перед их заменой.</translation>
    </message>
    <message>
        <source>Say what would be written and backed up, and write nothing.</source>
        <translation>Сообщить, что было бы записано и сохранено в резервную копию, ничего не записывая.</translation>
    </message>
    <message>
        <source>--watch goes with the command &apos;status&apos; on one adapter, not with --all.</source>
        <translation>--watch указывается с командой «status» для одного адаптера, не с --all.</translation>
    </message>
    <message>
        <source>status: print again at every change until interrupted.</source>
        <translation>status: выводить снова при каждом изменении, пока не прервут.</translation>
    </message>
    <message>
        <source>status --watch: look every &lt;seconds&gt; (1 unless given).</source>
        <translation>status --watch: проверять каждые &lt;секунды&gt; (по умолчанию 1).</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>секунды</translation>
    </message>
    <message>
        <source>name</source>
        <translation>имя</translation>
    </message>
    <message>
        <source>Unknown code page &apos;%1&apos;; known are %2.</source>
        <translation>Неизвестная кодовая страница «%1»; известны: %2.</translation>
    </message>
    <message>
        <source>--interval needs a whole number of seconds, 1 to 3600.</source>
        <translation>Для --interval нужно целое число секунд от 1 до 3600.</translation>
    </message>
    <message>
        <source>Where the exporter listens (default 127.0.0.1:%1).</source>
        <translation>Где экспортёр принимает запросы (по умолчанию 127.0.0.1:%1).</translation>
    </message>
    <message>
        <source>--serial, --port, --all, --json, --force, --no-backup, --dry-run, --listen and --code-page go with a command.</source>
        <translation>--serial, --port, --all, --json, --force, --no-backup, --dry-run, --listen и --code-page указываются вместе с командой.</translation>
    </message>
    <message>
        <source>Read and write the adapter&apos;s texts in this code page: %1. Without it, the one remembered for the adapter, else the one the locale&apos;s language uses.</source>
        <translation>Читать и записывать тексты адаптера в этой кодовой странице: %1. Без неё — в запомненной для адаптера, иначе в той, что соответствует языку локали.</translation>
    </message>
</context>
<context>
    <name>Demo</name>
    <message>
        <source>A firmware update file for the demo adapter: %1</source>
        <translation>Файл обновления прошивки для демонстрационного адаптера: %1</translation>
    </message>
    <message>
        <source>Contacts to import (Tools &gt; Import contacts): %1</source>
        <translation>Контакты для импорта (Инструменты &gt; Импорт контактов): %1</translation>
    </message>
</context>
<context>
    <name>Exporter</name>
    <message>
        <source>Serving metrics at http://%1:%2/metrics</source>
        <translation>Метрики доступны по адресу http://%1:%2/metrics</translation>
    </message>
    <message>
        <source>--listen goes with the command &apos;exporter&apos;.</source>
        <translation>--listen указывается только с командой «exporter».</translation>
    </message>
    <message>
        <source>The command &apos;exporter&apos; takes no --json.</source>
        <translation>Команда «exporter» не принимает --json.</translation>
    </message>
    <message>
        <source>Listening on every interface: any host that reaches this one can read the metrics.</source>
        <translation>Приём запросов на всех интерфейсах: метрики может прочитать любой узел, которому доступен этот.</translation>
    </message>
    <message>
        <source>Cannot look up %1: %2.</source>
        <translation>Не удаётся найти адрес %1: %2.</translation>
    </message>
    <message>
        <source>--listen takes HOST:PORT: an IPv4 address in four decimal numbers, an IPv6 address in brackets or a host name, and a port from 0 to 65535, such as 127.0.0.1:%1, [::1]:%1 or localhost:%1; not &apos;%2&apos;.</source>
        <translation>--listen принимает УЗЕЛ:ПОРТ: адрес IPv4 из четырёх десятичных чисел, адрес IPv6 в скобках или имя узла и порт от 0 до 65535, например 127.0.0.1:%1, [::1]:%1 или localhost:%1; но не «%2».</translation>
    </message>
    <message>
        <source>
The command exporter serves the adapters&apos; state to a monitoring system over HTTP, in the
Prometheus text format, at http://127.0.0.1:%1/metrics, until it is stopped:
  exporter [--listen HOST:PORT] [--serial S | --all] [--code-page NAME]
Without --serial or --all it watches the first adapter found. --code-page names the code page
of the operator names (windows-1251, say) where the locale does not.
</source>
        <translation>
Команда exporter передаёт состояние адаптеров системе мониторинга по HTTP в текстовом формате
Prometheus по адресу http://127.0.0.1:%1/metrics, пока её не остановят:
  exporter [--listen УЗЕЛ:ПОРТ] [--serial S | --all] [--code-page ИМЯ]
Без --serial и --all она следит за первым найденным адаптером. --code-page задаёт кодовую
страницу названий операторов (например, windows-1251), если её не задаёт локаль.
</translation>
    </message>
    <message>
        <source>vestra7 exporter</source>
        <translation>Экспортёр vestra7</translation>
    </message>
    <message>
        <source>Metrics</source>
        <translation>Метрики</translation>
    </message>
    <message>
        <source>Cannot listen on %1: %2</source>
        <translation>Не удаётся принимать запросы на %1: %2</translation>
    </message>
    <message>
        <source>Cannot listen on %1: the HTTP server of this system has no IPv6; give an IPv4 address or a host name that has one.</source>
        <translation>Не удаётся принимать запросы на %1: HTTP-сервер этой системы не поддерживает IPv6; укажите адрес IPv4 или имя узла, у которого он есть.</translation>
    </message>
</context>
<context>
    <name>FileMessages</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Не удаётся открыть файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Не удаётся прочитать файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Не удаётся создать файл «%1». %2</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdateDialog</name>
    <message>
        <source>Update FW</source>
        <translation>Обновление прошивки</translation>
    </message>
</context>
<context>
    <name>HelpBoxes</name>
    <message>
        <source>Information</source>
        <translation>Сведения</translation>
    </message>
    <message>
        <source>Model: %1<byte value="xd"/>
Serial: %2<byte value="xd"/>
Software version: %3<byte value="xd"/>
Program version: %4</source>
        <translation>Модель: %1<byte value="xd"/>
Серийный номер: %2<byte value="xd"/>
Версия ПО: %3<byte value="xd"/>
Версия программы: %4</translation>
    </message>
    <message>
        <source>About vestra7</source>
        <translation>О программе vestra7</translation>
    </message>
    <message>
        <source>vestra7 %1
Configuration and control tool for the VESTRA7 cellular voice adapter

Qt %2
Licence: GPL-3.0-or-later</source>
        <translation>vestra7 %1
Программа настройки сотового голосового адаптера VESTRA7 и управления им

Qt %2
Лицензия: GPL-3.0-or-later</translation>
    </message>
    <message>
        <source>Close the settings panel</source>
        <translation>Закрыть панель настроек</translation>
    </message>
    <message>
        <source>Open the menu</source>
        <translation>Открыть меню</translation>
    </message>
    <message>
        <source>Alt+underlined letter</source>
        <translation>Alt+подчёркнутая буква</translation>
    </message>
    <message>
        <source>Open that menu entry</source>
        <translation>Открыть этот пункт меню</translation>
    </message>
    <message>
        <source>Keyboard shortcuts</source>
        <translation>Сочетания клавиш</translation>
    </message>
</context>
<context>
    <name>HidDevice</name>
    <message>
        <source>The device cannot be opened.</source>
        <translation>Не удаётся открыть устройство.</translation>
    </message>
    <message>
        <source>The device is no longer there.</source>
        <translation>Устройство больше не подключено.</translation>
    </message>
    <message>
        <source>Writing to the device failed: %1</source>
        <translation>Ошибка записи в устройство: %1</translation>
    </message>
</context>
<context>
    <name>ImportPreviewDialog</name>
    <message>
        <source>In the file: %1</source>
        <translation>В файле: %1</translation>
    </message>
    <message>
        <source>name cut to 16 bytes</source>
        <translation>имя обрезано до 16 байт</translation>
    </message>
    <message>
        <source>name loses characters the adapter cannot show</source>
        <translation>в имени теряются символы, которые адаптер не может показать</translation>
    </message>
    <message>
        <source>number cut to 16 bytes</source>
        <translation>номер обрезан до 16 байт</translation>
    </message>
    <message>
        <source>number loses characters the adapter cannot show</source>
        <translation>в номере теряются символы, которые адаптер не может показать</translation>
    </message>
    <message>
        <source>name holds bytes that are no text in the file&apos;s encoding, shown as �</source>
        <translation>в имени есть байты, которые не являются текстом в кодировке файла; они показаны как �</translation>
    </message>
    <message>
        <source>number holds bytes that are no text in the file&apos;s encoding, shown as �</source>
        <translation>в номере есть байты, которые не являются текстом в кодировке файла; они показаны как �</translation>
    </message>
    <message>
        <source>name cut to 16 bytes, which hold %1 characters</source>
        <translation>имя обрезано до 16 байт, в них %1 символов</translation>
    </message>
    <message>
        <source>number cut to 16 bytes, which hold %1 characters</source>
        <translation>номер обрезан до 16 байт, в них %1 символов</translation>
    </message>
</context>
<context>
    <name>InputFile</name>
    <message>
        <source>%1; a configuration file has at most %2 bytes.</source>
        <translation>%1, а файл конфигурации занимает не более %2 байт.</translation>
    </message>
    <message>
        <source>%1; an update file has at most %2 bytes.</source>
        <translation>%1, а файл обновления занимает не более %2 байт.</translation>
    </message>
    <message>
        <source>%1; a phone-book file has at most %2 bytes.</source>
        <translation>%1, а файл телефонной книги занимает не более %2 байт.</translation>
    </message>
    <message>
        <source>It is %1 bytes</source>
        <translation>Он занимает %1 байт</translation>
    </message>
    <message>
        <source>It gives more than %1 bytes</source>
        <translation>Он выдаёт больше %1 байт</translation>
    </message>
    <message>
        <source>%1; a backup index has at most %2 bytes.</source>
        <translation>%1, а указатель резервных копий занимает не более %2 байт.</translation>
    </message>
</context>
<context>
    <name>InterruptedUpdate</name>
    <message>
        <source>Interrupted during a firmware update: the adapter %1 is left in its boot loader. Running the same update again recovers it.</source>
        <translation>Прервано во время обновления прошивки: адаптер %1 остался в загрузчике. Повторный запуск того же обновления восстановит его.</translation>
    </message>
</context>
<context>
    <name>LineState</name>
    <message>
        <source>ready</source>
        <translation>готова</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>занята</translation>
    </message>
    <message>
        <source>in a call</source>
        <translation>идёт вызов</translation>
    </message>
</context>
<context>
    <name>LineStatusText</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>  line %1: %2, SIM %3, signal %4, operator %5, USSD number %6
</source>
        <translation>  линия %1: %2, SIM %3, сигнал %4, оператор %5, номер USSD %6
</translation>
    </message>
    <message>
        <source>  USSD text: %1
</source>
        <translation>  текст USSD: %1
</translation>
    </message>
    <message>
        <source>%1: %2 SIM %3 signal %4 %5</source>
        <translation>%1: %2 SIM %3 сигнал %4 %5</translation>
    </message>
</context>
<context>
    <name>LineStatusWindow</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Confirm</source>
        <translation>Подтверждение</translation>
    </message>
</context>
<context>
    <name>ProgramStart</name>
    <message>
        <source>Cannot write the trace &quot;%1&quot;. %2</source>
        <translation>Не удаётся записать трассировку «%1». %2</translation>
    </message>
</context>
<context>
    <name>RecordDifference</name>
    <message>
        <source>Line A</source>
        <translation>Линия A</translation>
    </message>
    <message>
        <source>Line B</source>
        <translation>Линия B</translation>
    </message>
    <message>
        <source>Unknown (%1)</source>
        <translation>Неизвестно (%1)</translation>
    </message>
    <message>
        <source>Phone-book entry %1</source>
        <translation>Запись телефонной книги %1</translation>
    </message>
    <message>
        <source>Call-list entry %1</source>
        <translation>Запись списка вызовов %1</translation>
    </message>
    <message>
        <source>MIC gain</source>
        <translation>Усиление микрофона</translation>
    </message>
    <message>
        <source>LINE gain</source>
        <translation>Усиление линии</translation>
    </message>
    <message>
        <source>Auto answer A</source>
        <translation>Автоответ A</translation>
    </message>
    <message>
        <source>Auto answer B</source>
        <translation>Автоответ B</translation>
    </message>
    <message>
        <source>Active line</source>
        <translation>Активная линия</translation>
    </message>
</context>
<context>
    <name>SelectorItems</name>
    <message>
        <source>0 dB</source>
        <translation>0 дБ</translation>
    </message>
    <message>
        <source>+%1.%2 dB</source>
        <translation>+%1,%2 дБ</translation>
    </message>
    <message>
        <source>+ %1 dB</source>
        <translation>+ %1 дБ</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>ВЫКЛ</translation>
    </message>
    <message>
        <source>%1 sec</source>
        <translation>%1 с</translation>
    </message>
</context>
<context>
    <name>ToolCommand</name>
    <message>
        <source>
Commands (run without a window; without one the window opens):
</source>
        <translation>
Команды (выполняются без окна; без команды открывается окно):
</translation>
    </message>
    <message>
        <source>  list                  Every adapter: serial number, product, version, normal or boot loader.
</source>
        <translation>  list                  Все адаптеры: серийный номер, изделие, версия, обычный режим или загрузчик.
</translation>
    </message>
    <message>
        <source>  backup FILE           Save the adapter&apos;s record to a configuration file; - for standard output.
</source>
        <translation>  backup FILE           Сохранить данные адаптера в файл конфигурации; - для стандартного вывода.
</translation>
    </message>
    <message>
        <source>  restore FILE          Write a configuration file to the adapter.
</source>
        <translation>  restore FILE          Записать файл конфигурации в адаптер.
</translation>
    </message>
    <message>
        <source>  update FILE.xupd      Replace the adapter&apos;s firmware from an update file.
</source>
        <translation>  update FILE.xupd      Заменить прошивку адаптера из файла обновления.
</translation>
    </message>
    <message>
        <source>  reset-settings        Reset the adapter&apos;s settings, as the update window&apos;s &quot;Reset settings&quot;.
</source>
        <translation>  reset-settings        Сбросить настройки адаптера, как кнопка «Сбросить настройки» окна обновления.
</translation>
    </message>
    <message>
        <source>  export-contacts FILE  Save the phone book: CSV for a name ending in .csv, vCards otherwise
                        (- writes vCards to standard output).
</source>
        <translation>  export-contacts FILE  Сохранить телефонную книгу: CSV для имени с окончанием .csv, иначе vCard
                        (- пишет vCard в стандартный вывод).
</translation>
    </message>
    <message>
        <source>  import-contacts FILE  Replace the phone book with the contacts of a vCard or CSV file.
</source>
        <translation>  import-contacts FILE  Заменить телефонную книгу контактами из файла vCard или CSV.
</translation>
    </message>
    <message>
        <source>  status                Each line&apos;s state, SIM, signal, operator and USSD, as the adapter reports
                        them; with --watch again at every change until interrupted (Ctrl+C).
</source>
        <translation>  status                Состояние, SIM, сигнал, оператор и USSD каждой линии, как их сообщает
                        адаптер; с --watch снова при каждом изменении, пока не прервут (Ctrl+C).
</translation>
    </message>
    <message>
        <source>
With --all, backup and export-contacts write one file per adapter, the serial number put before
the extension: backup.cfg becomes backup-V7-2041-000117.cfg; adapters that share a serial number
or have none are told apart by their USB port: backup-DUP@1-2.cfg. restore, import-contacts and
update use the same file for every adapter. - (standard output) goes with neither --all nor --json.
</source>
        <translation>
С --all команды backup и export-contacts пишут по файлу на адаптер, вставляя серийный номер
перед расширением: backup.cfg становится backup-V7-2041-000117.cfg; адаптеры с одинаковым
серийным номером или без него различаются по порту USB: backup-DUP@1-2.cfg. restore,
import-contacts и update используют один и тот же файл для всех адаптеров. - (стандартный вывод)
нельзя сочетать ни с --all, ни с --json.
</translation>
    </message>
    <message>
        <source>
restore, import-contacts, reset-settings and update back the adapter&apos;s record up first, as the
window does; if that backup cannot be written they stop, unless --no-backup is given. They refuse,
unless --force is given: a configuration file that is not 1789 bytes long, a phone-book file with
entries that read as no contact or with characters the adapter&apos;s code page cannot hold, an
update file with the same or an older version than the adapter runs. A phone-book file without
contacts and an update file for another model or without firmware are always refused.
--dry-run says what would be written and backed up, and writes nothing.
</source>
        <translation>
restore, import-contacts, reset-settings и update сначала сохраняют данные адаптера в резервную
копию, как это делает окно; если её не удаётся записать, они останавливаются, если не указан
--no-backup. Без --force они отвергают: файл конфигурации длиной не 1789 байт, файл телефонной
книги с записями, которые не читаются как контакты, или с символами, которых нет в кодовой
странице адаптера, файл обновления с той же или более старой версией, чем в адаптере. Файл
телефонной книги без контактов и файл обновления для другой модели или без прошивки отвергаются
всегда. --dry-run сообщает, что было бы записано и сохранено в резервную копию, ничего не записывая.
</translation>
    </message>
    <message>
        <source>
Exit codes:
  0  done
  1  failed
  2  usage error
  3  no adapter, or none with the serial number asked for
  4  access denied: the adapter cannot be opened
  5  the adapter is in use by another program, which is named
  130, 143  interrupted by SIGINT or SIGTERM (an update says which adapter it left in its boot loader)
With --all the code is that of the first adapter that did not succeed.
</source>
        <translation>
Коды завершения:
  0  выполнено
  1  ошибка
  2  неверный вызов
  3  адаптер не найден, или нет адаптера с указанным серийным номером
  4  доступ запрещён: адаптер не удаётся открыть
  5  адаптер занят другой программой, которая называется в сообщении
  130, 143  прервано сигналом SIGINT или SIGTERM (обновление сообщает, какой адаптер остался в загрузчике)
С --all возвращается код первого адаптера, на котором команда не удалась.
</translation>
    </message>
</context>
<context>
    <name>ToolRunner</name>
    <message>
        <source>No adapter found.</source>
        <translation>Адаптер не найден.</translation>
    </message>
    <message>
        <source>The adapter did not restart into its boot loader.</source>
        <translation>Адаптер не перезапустился в режим загрузчика.</translation>
    </message>
    <message>
        <source>The adapter did not come back from its boot loader.</source>
        <translation>Адаптер не вернулся из режима загрузчика.</translation>
    </message>
    <message>
        <source>The update file is not meant for this adapter (%1).</source>
        <translation>Файл обновления не предназначен для этого адаптера (%1).</translation>
    </message>
    <message>
        <source>The adapter stopped answering during the update.</source>
        <translation>Адаптер перестал отвечать во время обновления.</translation>
    </message>
    <message>
        <source>The update failed.</source>
        <translation>Обновление не удалось.</translation>
    </message>
    <message>
        <source>boot loader</source>
        <translation>загрузчик</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>обычный</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the size of a configuration file: its size is %2 bytes, a configuration file&apos;s is %3 bytes.</source>
        <translation>Размер «%1» не совпадает с размером файла конфигурации: %2 байт, а у файла конфигурации %3 байт.</translation>
    </message>
    <message>
        <source>Nothing was written; --force goes on all the same.</source>
        <translation>Ничего не записано; с --force команда всё равно продолжит.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an update file: it has no update header.</source>
        <translation>«%1» не является файлом обновления: у него нет заголовка обновления.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is an incorrect update file: it holds no firmware behind its header.</source>
        <translation>«%1» — неверный файл обновления: после заголовка в нём нет прошивки.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no contacts. The phone book stays as it is.</source>
        <translation>В «%1» нет контактов. Телефонная книга остаётся без изменений.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; does not look like a phone book: entries %2 read as no contact.</source>
        <translation>«%1» не похож на телефонную книгу: записи %2 не читаются как контакты.</translation>
    </message>
    <message>
        <source>Cannot back up the adapter&apos;s record: %1 Nothing was written; --no-backup goes on without a backup.</source>
        <translation>Не удаётся сохранить данные адаптера в резервную копию: %1 Ничего не записано; с --no-backup команда продолжит без резервной копии.</translation>
    </message>
    <message>
        <source>Going on without a backup: %1</source>
        <translation>Продолжение без резервной копии: %1</translation>
    </message>
    <message>
        <source>, after a backup into %1</source>
        <translation>, после резервного копирования в %1</translation>
    </message>
    <message>
        <source> (backed up first to %1)</source>
        <translation> (резервная копия сохранена в %1)</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>Прервано.</translation>
    </message>
    <message>
        <source>Interrupted: the adapter is left in its boot loader. Running the same command again brings it back.</source>
        <translation>Прервано: адаптер остался в загрузчике. Повторный запуск той же команды вернёт его.</translation>
    </message>
    <message>
        <source>its boot loader</source>
        <translation>загрузчика</translation>
    </message>
    <message>
        <source>The update file is for a %1; the adapter is a %2.</source>
        <translation>Файл обновления предназначен для %1; адаптер: %2.</translation>
    </message>
    <message>
        <source>The update file holds version %1 and the adapter runs version %2: the file is not newer. Nothing was written; --force installs it all the same.</source>
        <translation>Файл обновления содержит версию %1, а в адаптере работает версия %2: файл не новее. Ничего не записано; с --force он всё равно будет установлен.</translation>
    </message>
    <message>
        <source>version %1</source>
        <translation>версии %1</translation>
    </message>
    <message>
        <source>would update from %1 with %2</source>
        <translation>прошивка была бы обновлена с %1 из %2</translation>
    </message>
    <message>
        <source>updated with %1, version %2</source>
        <translation>обновлено из %1, версия %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>vestra7::AdapterMenu</name>
    <message>
        <source>&amp;Adapter</source>
        <translation>&amp;Адаптер</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 (USB port %3)</source>
        <translation>%1 %2 (порт USB %3)</translation>
    </message>
</context>
<context>
    <name>vestra7::BackupKeeper</name>
    <message>
        <source>%1

Go on without a backup? What the adapter holds now cannot be restored afterwards.</source>
        <translation>%1

Продолжить без резервной копии? Восстановить то, что сейчас хранит адаптер, потом будет нельзя.</translation>
    </message>
</context>
<context>
    <name>vestra7::BackupPolicy</name>
    <message>
        <source>No folder is known to keep backups in.</source>
        <translation>Неизвестна папка для резервных копий.</translation>
    </message>
    <message>
        <source>The program has not read this adapter&apos;s record yet, so it cannot be backed up.</source>
        <translation>Программа ещё не прочитала данные этого адаптера, поэтому их нельзя сохранить в резервную копию.</translation>
    </message>
</context>
<context>
    <name>vestra7::BackupsDialog</name>
    <message>
        <source>Backups</source>
        <translation>Резервные копии</translation>
    </message>
    <message>
        <source>Taken</source>
        <translation>Создана</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Перед</translation>
    </message>
    <message>
        <source>Phone-book entries</source>
        <translation>Записей в телефонной книге</translation>
    </message>
    <message>
        <source>Differences to the adapter&apos;s present record</source>
        <translation>Отличия от текущих данных адаптера</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Элемент</translation>
    </message>
    <message>
        <source>In the backup</source>
        <translation>В резервной копии</translation>
    </message>
    <message>
        <source>On the adapter now</source>
        <translation>Сейчас в адаптере</translation>
    </message>
    <message>
        <source>&amp;Restore…</source>
        <translation>&amp;Восстановить…</translation>
    </message>
    <message>
        <source>Writes the selected backup to the adapter, after a backup of what it holds now</source>
        <translation>Записывает выбранную резервную копию в адаптер, сначала сохранив то, что он хранит сейчас</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>За&amp;крыть</translation>
    </message>
    <message>
        <source>The adapter&apos;s record is backed up when the program first sees an adapter and before every step that replaces it. The newest %1 backups of each adapter are kept, as configuration files, in %2.</source>
        <translation>Данные адаптера сохраняются в резервную копию, когда программа впервые видит адаптер, и перед каждым действием, которое их заменяет. Для каждого адаптера хранятся %1 последних копий в виде файлов конфигурации в папке %2.</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>не читается</translation>
    </message>
    <message>
        <source>Select a backup to see how it differs from the adapter&apos;s record.</source>
        <translation>Выберите резервную копию, чтобы увидеть её отличия от данных адаптера.</translation>
    </message>
    <message>
        <source>No adapter&apos;s record has been read yet to compare the backup with.</source>
        <translation>Данные адаптера ещё не прочитаны, сравнивать резервную копию не с чем.</translation>
    </message>
    <message>
        <source>The backup holds the same phone book, call list and settings as adapter %1 now.</source>
        <translation>В резервной копии те же телефонная книга, список вызовов и настройки, что сейчас в адаптере %1.</translation>
    </message>
    <message>
        <source>Items of the backup that differ from the record of adapter %1 now: %2</source>
        <translation>Элементов резервной копии, отличающихся от текущих данных адаптера %1: %2</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(пусто)</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>(no serial number)</source>
        <translation>(без серийного номера)</translation>
    </message>
    <message>
        <source>%1 in USB port %2</source>
        <translation>%1 в USB-порту %2</translation>
    </message>
    <message>
        <source>Adapters without serial number (kept without their USB port: possibly of any adapter without serial number)</source>
        <translation>Адаптеры без серийного номера (сохранено без USB-порта: может относиться к любому адаптеру без серийного номера)</translation>
    </message>
    <message>
        <source>Adapter %1 (kept by serial number alone: possibly of either adapter with this serial number)</source>
        <translation>Адаптер %1 (сохранено только по серийному номеру: может относиться к любому из адаптеров с этим номером)</translation>
    </message>
    <message>
        <source>Adapter %1 (connected)</source>
        <translation>Адаптер %1 (подключён)</translation>
    </message>
    <message>
        <source>Adapter %1</source>
        <translation>Адаптер %1</translation>
    </message>
    <message>
        <source>Write the backup taken %1 from adapter %2 to adapter %3? It was kept by serial number alone, so it may be of another adapter with that serial number. It replaces the whole record of adapter %3: phone book, call list and settings. What it holds now is backed up first.</source>
        <translation>Записать резервную копию адаптера %2 от %1 в адаптер %3? Она сохранена только по серийному номеру, поэтому может относиться к другому адаптеру с тем же номером. Она заменит все данные адаптера %3: телефонную книгу, список вызовов и настройки. Его текущие данные сначала будут сохранены в резервную копию.</translation>
    </message>
    <message>
        <source>Write the backup taken %1 to adapter %2? It replaces the adapter&apos;s whole record: phone book, call list and settings. What the adapter holds now is backed up first.</source>
        <translation>Записать в адаптер %2 резервную копию от %1? Она заменит все данные адаптера: телефонную книгу, список вызовов и настройки. Текущие данные адаптера сначала будут сохранены в резервную копию.</translation>
    </message>
    <message>
        <source>Write the backup taken %1 from adapter %2 to another adapter, %3? It replaces that adapter&apos;s whole record: phone book, call list and settings. What it holds now is backed up first.</source>
        <translation>Записать резервную копию адаптера %2 от %1 в другой адаптер, %3? Она заменит все данные этого адаптера: телефонную книгу, список вызовов и настройки. Его текущие данные сначала будут сохранены в резервную копию.</translation>
    </message>
    <message>
        <source>; </source>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>vestra7::CodePageMenu</name>
    <message>
        <source>&amp;Text encoding</source>
        <translation>&amp;Кодировка текста</translation>
    </message>
</context>
<context>
    <name>vestra7::ConfigFileCommands</name>
    <message>
        <source>Config File (*.cfg)</source>
        <translation>Файл конфигурации (*.cfg)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not the size of a configuration file: its size is %2 bytes, a configuration file&apos;s is %3 bytes. Loading it overwrites the adapter&apos;s record from its start with whatever the file holds.

Load it anyway?</source>
        <translation>Размер «%1» не совпадает с размером файла конфигурации: %2 байт вместо %3. Загрузка перезапишет данные адаптера с самого начала содержимым файла.

Всё равно загрузить?</translation>
    </message>
</context>
<context>
    <name>vestra7::DisconnectedOverlay</name>
    <message>
        <source>Connect to USB</source>
        <translation>Подключите адаптер к USB</translation>
    </message>
</context>
<context>
    <name>vestra7::FieldFitValidator</name>
    <message>
        <source>&quot;%1&quot; cannot be stored: the adapter&apos;s code page has no such character.</source>
        <translation>«%1» нельзя сохранить: в кодовой странице адаптера нет такого символа.</translation>
    </message>
    <message>
        <source>Only the first %1 bytes fit into this field; the rest was cut off.</source>
        <translation>В это поле помещаются только первые %1 байт; остальное отрезано.</translation>
    </message>
</context>
<context>
    <name>vestra7::FirmwareUpdateDialog</name>
    <message>
        <source>Update FW</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>Select file</source>
        <translation>Выбрать файл</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Серийный №</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Reset settings</source>
        <translation>Сбросить настройки</translation>
    </message>
    <message>
        <source>Settings is reset!</source>
        <translation>Настройки сброшены!</translation>
    </message>
    <message>
        <source>Update File (*.xupd)</source>
        <translation>Файл обновления (*.xupd)</translation>
    </message>
    <message>
        <source>Incorrect file!</source>
        <translation>Неверный файл!</translation>
    </message>
    <message>
        <source>The file has no update header. The adapter is a %1.</source>
        <translation>У файла нет заголовка обновления. Адаптер: %1.</translation>
    </message>
    <message>
        <source>The file, for a %1, holds no firmware behind its header.</source>
        <translation>Файл для %1 не содержит прошивки после заголовка.</translation>
    </message>
    <message>
        <source>The file is for a %1; the adapter is a %2.</source>
        <translation>Файл предназначен для %1; адаптер: %2.</translation>
    </message>
    <message>
        <source>The file holds a newer version than the adapter runs.</source>
        <translation>В файле более новая версия, чем работает в адаптере.</translation>
    </message>
    <message>
        <source>The file holds the same version as the adapter runs already.</source>
        <translation>В файле та же версия, что уже работает в адаптере.</translation>
    </message>
    <message>
        <source>The file holds an older version than the adapter runs: this is a downgrade.</source>
        <translation>В файле более старая версия, чем работает в адаптере: это откат на старую версию.</translation>
    </message>
    <message>
        <source>Which of the two versions is newer cannot be told.</source>
        <translation>Невозможно определить, какая из двух версий новее.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестна</translation>
    </message>
    <message>
        <source>This replaces the adapter&apos;s firmware.

File: %1, version %2
Adapter: version %3

%4

SHA-256 of the file: %5

Transfer the file?</source>
        <translation>Прошивка адаптера будет заменена.

Файл: %1, версия %2
Адаптер: версия %3

%4

SHA-256 файла: %5

Передать файл?</translation>
    </message>
    <message>
        <source>&quot;Reset settings&quot; clears the adapter&apos;s settings, its phone book and its call list.

Reset them?</source>
        <translation>«Сбросить настройки» очищает настройки адаптера, его телефонную книгу и список вызовов.

Сбросить их?</translation>
    </message>
    <message>
        <source>The transfer is not finished. The adapter stays in its boot loader until a transfer completes; choosing the same file again starts it over.

Close anyway?</source>
        <translation>Передача не завершена. Адаптер остаётся в загрузчике, пока передача не будет доведена до конца; повторный выбор того же файла начинает её заново.

Всё равно закрыть?</translation>
    </message>
    <message>
        <source>Update success!</source>
        <translation>Обновление выполнено!</translation>
    </message>
    <message>
        <source>Error!<byte value="xd"/>
Retry again</source>
        <translation>Ошибка!<byte value="xd"/>
Повторите попытку</translation>
    </message>
</context>
<context>
    <name>vestra7::ImportPreviewDialog</name>
    <message>
        <source>Import contacts</source>
        <translation>Импорт контактов</translation>
    </message>
    <message>
        <source>Phone book after the import</source>
        <translation>Телефонная книга после импорта</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Номер</translation>
    </message>
    <message>
        <source>Changed on the way in</source>
        <translation>Изменено при записи</translation>
    </message>
    <message>
        <source>&amp;Store in the adapter</source>
        <translation>&amp;Записать в адаптер</translation>
    </message>
    <message>
        <source>The contacts from the file replace the adapter&apos;s phone book; the entries after them are emptied.</source>
        <translation>Контакты из файла заменят телефонную книгу адаптера; записи после них будут очищены.</translation>
    </message>
    <message>
        <source>Contacts stored: %1</source>
        <translation>Будет записано контактов: %1</translation>
    </message>
    <message>
        <source>Left out, beyond the phone book&apos;s %1 entries: %2</source>
        <translation>Не поместились в %1 записей телефонной книги: %2</translation>
    </message>
    <message>
        <source>Stored otherwise than the file has them, marked below: %1</source>
        <translation>Будут записаны не так, как в файле (отмечены ниже): %1</translation>
    </message>
</context>
<context>
    <name>vestra7::LineControls</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Make line A the active line</source>
        <translation>Сделать линию A активной</translation>
    </message>
    <message>
        <source>Make line B the active line</source>
        <translation>Сделать линию B активной</translation>
    </message>
    <message>
        <source>%1, operator %2, signal %3</source>
        <translation>%1, оператор %2, сигнал %3</translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Линия %1: %2</translation>
    </message>
    <message>
        <source>%1; the active line</source>
        <translation>%1; активная линия</translation>
    </message>
    <message>
        <source>%1; a click or %2 makes it the active line</source>
        <translation>%1; щелчок или %2 делает её активной</translation>
    </message>
</context>
<context>
    <name>vestra7::LineStatusWindow</name>
    <message>
        <source>Line status</source>
        <translation>Состояние линий</translation>
    </message>
    <message>
        <source>Line A</source>
        <translation>Линия A</translation>
    </message>
    <message>
        <source>Line B</source>
        <translation>Линия B</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Signal</source>
        <translation>Сигнал</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>USSD number</source>
        <translation>Номер USSD</translation>
    </message>
    <message>
        <source>Last USSD text</source>
        <translation>Последний текст USSD</translation>
    </message>
    <message>
        <source>Signal level of both lines over the last 10 minutes</source>
        <translation>Уровень сигнала обеих линий за последние 10 минут</translation>
    </message>
    <message>
        <source>Save &amp;data…</source>
        <translation>Сохранить &amp;данные…</translation>
    </message>
    <message>
        <source>Save &amp;picture…</source>
        <translation>Сохранить &amp;рисунок…</translation>
    </message>
    <message>
        <source>–</source>
        <translation>–</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Файлы CSV (*.csv)</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>Рисунки PNG (*.png)</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Адаптер</translation>
    </message>
    <message>
        <source>SIM presence</source>
        <translation>Наличие SIM</translation>
    </message>
    <message>
        <source>Signal level of adapter %1 on %2, local time (%3)</source>
        <translation>Уровень сигнала адаптера %1 за %2, местное время (%3)</translation>
    </message>
</context>
<context>
    <name>vestra7::MainWindow</name>
    <message>
        <source>Line A</source>
        <translation>Линия A</translation>
    </message>
    <message>
        <source>Line B</source>
        <translation>Линия B</translation>
    </message>
    <message>
        <source>Call, line A</source>
        <translation>Вызов, линия A</translation>
    </message>
    <message>
        <source>Calls the number in the number edit on line A</source>
        <translation>Набирает номер из поля номера на линии A</translation>
    </message>
    <message>
        <source>Hang up, line A</source>
        <translation>Отбой, линия A</translation>
    </message>
    <message>
        <source>Ends the call on line A</source>
        <translation>Завершает вызов на линии A</translation>
    </message>
    <message>
        <source>Call, line B</source>
        <translation>Вызов, линия B</translation>
    </message>
    <message>
        <source>Calls the number in the number edit on line B</source>
        <translation>Набирает номер из поля номера на линии B</translation>
    </message>
    <message>
        <source>Hang up, line B</source>
        <translation>Отбой, линия B</translation>
    </message>
    <message>
        <source>Ends the call on line B</source>
        <translation>Завершает вызов на линии B</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Номер</translation>
    </message>
    <message>
        <source>Party name</source>
        <translation>Имя абонента</translation>
    </message>
    <message>
        <source>The active line&apos;s party name; Enter stores name and number in the contact list</source>
        <translation>Имя абонента активной линии; Enter сохраняет имя и номер в списке контактов</translation>
    </message>
    <message>
        <source>Party number</source>
        <translation>Номер абонента</translation>
    </message>
    <message>
        <source>The active line&apos;s party number, digits and &apos;+&apos;; Enter stores name and number in the contact list</source>
        <translation>Номер абонента активной линии: цифры и «+»; Enter сохраняет имя и номер в списке контактов</translation>
    </message>
    <message>
        <source>Contact list</source>
        <translation>Список контактов</translation>
    </message>
    <message>
        <source>The adapter&apos;s phone book; a selected contact becomes the active line&apos;s party, Delete removes it</source>
        <translation>Телефонная книга адаптера; выбранный контакт становится абонентом активной линии, Delete удаляет его</translation>
    </message>
    <message>
        <source>Call list</source>
        <translation>Список вызовов</translation>
    </message>
    <message>
        <source>The adapter&apos;s recent calls; a selected call becomes the active line&apos;s party, Delete removes it</source>
        <translation>Последние вызовы адаптера; выбранный вызов становится абонентом активной линии, Delete удаляет его</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Спр&amp;авка</translation>
    </message>
    <message>
        <source>&amp;Save to file</source>
        <translation>&amp;Сохранить в файл</translation>
    </message>
    <message>
        <source>&amp;Load from file</source>
        <translation>&amp;Загрузить из файла</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>За&amp;крыть</translation>
    </message>
    <message>
        <source>&amp;Update firmware</source>
        <translation>&amp;Прошивка</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Настройки</translation>
    </message>
    <message>
        <source>Set to &amp;default</source>
        <translation>По &amp;умолчанию</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Сведения</translation>
    </message>
    <message>
        <source>&amp;About vestra7</source>
        <translation>&amp;О программе vestra7</translation>
    </message>
    <message>
        <source>&amp;Keyboard shortcuts</source>
        <translation>&amp;Сочетания клавиш</translation>
    </message>
    <message>
        <source>A line is in a call. Updating the firmware restarts the adapter, which ends the call.

Go on?</source>
        <translation>На линии идёт вызов. Обновление прошивки перезапустит адаптер, и вызов завершится.

Продолжить?</translation>
    </message>
    <message>
        <source>Set to default?</source>
        <translation>Сбросить всё по умолчанию?</translation>
    </message>
    <message>
        <source>This also empties the phone book and the call list. What the adapter holds now is kept in a backup.</source>
        <translation>Это также очищает телефонную книгу и список вызовов. Текущие данные адаптера сохраняются в резервной копии.</translation>
    </message>
    <message>
        <source>The adapter %1 did not come back after its restart. The first adapter found is used now.</source>
        <translation>Адаптер %1 не вернулся после перезапуска. Теперь используется первый найденный адаптер.</translation>
    </message>
</context>
<context>
    <name>vestra7::PartyBooks</name>
    <message>
        <source>The phone book is full, so nothing was stored. To replace a contact, select it in the contact list, edit it and press Enter; or delete one first.</source>
        <translation>Телефонная книга заполнена, ничего не сохранено. Чтобы заменить контакт, выберите его в списке контактов, измените и нажмите Enter; или сначала удалите один из контактов.</translation>
    </message>
    <message>
        <source>Delete contact?</source>
        <translation>Удалить контакт?</translation>
    </message>
</context>
<context>
    <name>vestra7::SettingsPanel</name>
    <message>
        <source>MIC gain</source>
        <translation>Усиление микрофона</translation>
    </message>
    <message>
        <source>LINE gain</source>
        <translation>Усиление линии</translation>
    </message>
    <message>
        <source>Auto answer A</source>
        <translation>Автоответ A</translation>
    </message>
    <message>
        <source>Auto answer B</source>
        <translation>Автоответ B</translation>
    </message>
    <message>
        <source>Gain of the microphone input</source>
        <translation>Усиление микрофонного входа</translation>
    </message>
    <message>
        <source>Gain of the line output</source>
        <translation>Усиление линейного выхода</translation>
    </message>
    <message>
        <source>How long line A rings before it answers by itself</source>
        <translation>Сколько звонит линия A, прежде чем ответить автоматически</translation>
    </message>
    <message>
        <source>How long line B rings before it answers by itself</source>
        <translation>Сколько звонит линия B, прежде чем ответить автоматически</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Closes the settings panel</source>
        <translation>Закрывает панель настроек</translation>
    </message>
</context>
<context>
    <name>vestra7::SignalPlot</name>
    <message>
        <source>Line A</source>
        <translation>Линия A</translation>
    </message>
    <message>
        <source>Line B</source>
        <translation>Линия B</translation>
    </message>
    <message>
        <source>Local time (%1)</source>
        <translation>Местное время (%1)</translation>
    </message>
    <message>
        <source>signal level</source>
        <translation>уровень сигнала</translation>
    </message>
</context>
<context>
    <name>vestra7::ToolRunner</name>
    <message>
        <source>%1 adapters have the serial number &quot;%2&quot;; choose one with --port: %3.</source>
        <translation>Серийный номер «%2» у %1 адаптеров; выберите один с помощью --port: %3.</translation>
    </message>
    <message>
        <source>No adapter found.</source>
        <translation>Адаптер не найден.</translation>
    </message>
    <message>
        <source>No adapter in the USB port &quot;%1&quot; found.</source>
        <translation>Адаптер в порту USB «%1» не найден.</translation>
    </message>
    <message>
        <source>No adapter with the serial number &quot;%1&quot; found.</source>
        <translation>Адаптер с серийным номером «%1» не найден.</translation>
    </message>
    <message>
        <source>The adapter&apos;s code page cannot hold these characters of &quot;%1&quot;, which would be stored as &quot;?&quot;: %2</source>
        <translation>Кодовая страница адаптера не может сохранить эти символы из «%1», они были бы записаны как «?»: %2</translation>
    </message>
    <message>
        <source>Nothing was written; --force goes on all the same.</source>
        <translation>Ничего не записано; с --force команда всё равно продолжит.</translation>
    </message>
    <message>
        <source>would save the record to %1</source>
        <translation>данные были бы сохранены в %1</translation>
    </message>
    <message>
        <source>saved to standard output</source>
        <translation>сохранено в стандартный вывод</translation>
    </message>
    <message>
        <source>saved to %1</source>
        <translation>сохранено в %1</translation>
    </message>
    <message>
        <source>would save the phone book to %1</source>
        <translation>телефонная книга была бы сохранена в %1</translation>
    </message>
    <message>
        <source>phone book saved to standard output</source>
        <translation>телефонная книга сохранена в стандартный вывод</translation>
    </message>
    <message>
        <source>phone book saved to %1</source>
        <translation>телефонная книга сохранена в %1</translation>
    </message>
    <message>
        <source>would write %1 bytes of %2 over the record</source>
        <translation>%1 байт из %2 были бы записаны поверх данных адаптера</translation>
    </message>
    <message>
        <source>restored from %1</source>
        <translation>восстановлено из %1</translation>
    </message>
    <message>
        <source>would import %1 contacts from %2 in place of the phone book</source>
        <translation>%1 контактов из %2 заменили бы телефонную книгу</translation>
    </message>
    <message>
        <source>%1 contacts imported from %2, %3 left out</source>
        <translation>импортировано контактов из %2: %1, не поместилось: %3</translation>
    </message>
    <message>
        <source>%1 contacts imported from %2</source>
        <translation>импортировано контактов из %2: %1</translation>
    </message>
    <message>
        <source>Cannot write to standard output. %1</source>
        <translation>Не удаётся записать в стандартный вывод. %1</translation>
    </message>
    <message>
        <source>would reset the settings, the phone book and the call list</source>
        <translation>настройки, телефонная книга и список вызовов были бы сброшены</translation>
    </message>
    <message>
        <source>The adapter did not confirm the reset.</source>
        <translation>Адаптер не подтвердил сброс.</translation>
    </message>
    <message>
        <source>settings reset</source>
        <translation>настройки сброшены</translation>
    </message>
    <message>
        <source>The adapter is no longer connected.</source>
        <translation>Адаптер больше не подключён.</translation>
    </message>
</context>
<context>
    <name>vestra7::ToolSession</name>
    <message>
        <source>Cannot open the adapter: %1</source>
        <translation>Не удаётся открыть адаптер: %1</translation>
    </message>
    <message>
        <source>The adapter could not be reached.</source>
        <translation>Нет связи с адаптером.</translation>
    </message>
    <message>
        <source>The adapter runs its boot loader; update its firmware first.</source>
        <translation>Адаптер работает в режиме загрузчика; сначала обновите его прошивку.</translation>
    </message>
    <message>
        <source>The adapter did not send its record.</source>
        <translation>Адаптер не прислал свои данные.</translation>
    </message>
    <message>
        <source>The adapter did not confirm the write.</source>
        <translation>Адаптер не подтвердил запись.</translation>
    </message>
    <message>
        <source>The adapter did not restart into its boot loader.</source>
        <translation>Адаптер не перезапустился в режим загрузчика.</translation>
    </message>
    <message>
        <source>The adapter did not come back from its boot loader.</source>
        <translation>Адаптер не вернулся из режима загрузчика.</translation>
    </message>
</context>
<context>
    <name>vestra7::ToolsMenu</name>
    <message>
        <source>&amp;Tools</source>
        <translation>Серв&amp;ис</translation>
    </message>
    <message>
        <source>&amp;Backups…</source>
        <translation>&amp;Резервные копии…</translation>
    </message>
    <message>
        <source>&amp;Line status…</source>
        <translation>&amp;Состояние линий…</translation>
    </message>
    <message>
        <source>&amp;Import contacts…</source>
        <translation>&amp;Импорт контактов…</translation>
    </message>
    <message>
        <source>&amp;Export contacts…</source>
        <translation>&amp;Экспорт контактов…</translation>
    </message>
    <message>
        <source>vCard (*.vcf);;CSV (*.csv)</source>
        <translation>vCard (*.vcf);;CSV (*.csv)</translation>
    </message>
    <message>
        <source>Phone book (*.vcf *.vcard *.csv);;All files (*)</source>
        <translation>Телефонная книга (*.vcf *.vcard *.csv);;Все файлы (*)</translation>
    </message>
    <message>
        <source>The file holds no contacts. The phone book stays as it is.</source>
        <translation>В файле нет контактов. Телефонная книга остаётся без изменений.</translation>
    </message>
</context>
</TS>
