// SPDX-License-Identifier: GPL-3.0-or-later
// The demo's adapter state, its sample update file and its callers.
#include "sim/demo_adapter.h"

#include "model/ansi_codec.h"
#include "model/text_field.h"
#include "sim/emulated_adapter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vestra7 {

namespace {

struct DemoParty
{
    const char *name;
    const char *number;
};

constexpr std::array<DemoParty, 14> kPhoneBook = {{
    {"Иван Петров", "+74951234567"},
    {"Anna Keller", "+4930556677"},
    {"Мария Соколова", "+79161112233"},
    {"Service desk", "+78005550199"},
    {"Oleg Nikitin", "+79035554411"},
    {"Ольга Ветрова", "+73832227788"},
    {"Night guard", "+79998887766"},
    {"Tomasz Lis", "+48225550101"},
    {"Дмитрий Орлов", "+79267770011"},
    {"Warehouse", "+74957778899"},
    {"Елена Смирнова", "+78127654321"},
    {"Lift control", "+74956660022"},
    {"Jana Novak", "+420223456789"},
    {"Сергей Лебедев", "+79052223344"},
}};

// Most recent first.
constexpr std::array<std::size_t, 7> kRecentCalls = {3, 0, 1, 5, 3, 9, 2};

void setParty(PartyEntry &entry, const DemoParty &party, AnsiCodec &codec)
{
    writeTextField(entry.name, QString::fromUtf8(party.name), codec);
    writeTextField(entry.number, QString::fromUtf8(party.number), codec);
}

constexpr std::chrono::seconds kRingEvery{60};
constexpr std::chrono::seconds kDriftEvery{2};
// Levels as the demo's made-up radio reports them; the adapter alone knows their unit.
constexpr int kWeakest = -105;
constexpr int kStrongest = -51;
constexpr std::chrono::seconds kRingForAtMost{30};
constexpr int kCalledLine = 1;

} // namespace

DeviceRecord demoRecord()
{
    AnsiCodec codec(kDemoCodePage);
    DeviceRecord record = initialAdapterRecord();
    for (std::size_t i = 0; i < kPhoneBook.size(); ++i)
        setParty(record.contact[i], kPhoneBook[i], codec);
    for (std::size_t i = 0; i < kRecentCalls.size(); ++i)
        setParty(record.call_list[i], kPhoneBook[kRecentCalls[i]], codec);
    setParty(record.subscriber[0], kPhoneBook[1], codec);
    setParty(record.subscriber[1], kPhoneBook[3], codec);
    writeTextField(record.ops[0], QStringLiteral("Nordline"), codec);
    writeTextField(record.ops[1], QStringLiteral("Teleset"), codec);
    writeTextField(record.ussd_num[0], QStringLiteral("*100#"), codec);
    writeTextField(record.ussd_num[1], QStringLiteral("*102#"), codec);
    record.mic_gain = 6;
    record.spk_gain = 14;
    record.auto_answer[1] = 10;
    return record;
}

std::vector<std::uint8_t> demoUpdateFile(std::size_t payloadSize)
{
    // The model name is what the boot loader's name leaves once "(boot)" is taken out of it, blank
    // included.
    static constexpr char kHeader[] = "MODEL=VESTRA7 &VERSION=1.3.0&DATE=2026-11-20";
    constexpr std::size_t kPayloadOffset = 64;
    static_assert(4 + sizeof kHeader <= kPayloadOffset);

    std::vector<std::uint8_t> file(kPayloadOffset + payloadSize, 0);
    file[0] = static_cast<std::uint8_t>(kPayloadOffset & 0xFFu);
    file[1] = static_cast<std::uint8_t>(kPayloadOffset >> 8);
    std::memcpy(file.data() + 4, kHeader, sizeof kHeader);
    std::minstd_rand random(20261120);
    for (std::size_t i = kPayloadOffset; i < file.size(); ++i)
        file[i] = static_cast<std::uint8_t>(random() >> 7);
    return file;
}

QByteArray demoContactsFile()
{
    return QByteArrayLiteral(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Front desk\r\nTEL;TYPE=WORK:+49 30 5566 7700\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Night watch, loading bay\r\nTEL:+7 903 555-44-11\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xd0\x90\xd0\xbd\xd0\xbd\xd0\xb0 "
        "\xd0\x9a\xd0\xbe\xd0\xb2\xd0\xb0\xd0\xbb\xd1\x8c\r\nTEL:+7 495 777 88 99\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zo\xc3\xab Kr\xc3\xa4mer\r\nTEL:+49 89 1234 5678\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Service line\r\nTEL:+380 44 000 11 22\r\nEND:VCARD\r\n");
}

DemoRadio::DemoRadio(std::shared_ptr<EmulatedAdapter> adapter, QObject *parent)
    : QObject(parent)
    , m_adapter(std::move(adapter))
{
    AnsiCodec codec(kDemoCodePage);
    const QByteArray answer = codec.encode(QStringLiteral("Баланс 312,40 р. Пакет: 1,2 ГБ до 31.12"));
    m_adapter->setUssdAnswer({answer.constData(), static_cast<std::size_t>(answer.size())});
    connect(&m_drift, &QTimer::timeout, this, &DemoRadio::drift);
    m_drift.start(kDriftEvery);
}

void DemoRadio::drift()
{
    const DeviceRecord record = m_adapter->state().record;
    for (int line = 0; line < kLineCount; ++line) {
        const int step = static_cast<int>(m_random() % 5) - 2;
        const int level = std::clamp(record.rssi[line] + step, kWeakest, kStrongest);
        m_adapter->setSignalLevel(line, static_cast<std::int8_t>(level));
    }
}

DemoCallers::DemoCallers(std::shared_ptr<EmulatedAdapter> adapter, QObject *parent)
    : QObject(parent)
    , m_adapter(std::move(adapter))
{
    m_next.setSingleShot(true);
    m_giveUp.setSingleShot(true);
    m_giveUp.setInterval(kRingForAtMost);
    connect(&m_next, &QTimer::timeout, this, &DemoCallers::ring);
    connect(&m_giveUp, &QTimer::timeout, this, [this] { m_adapter->endIncomingCall(kCalledLine); });
    scheduleNext();
}

void DemoCallers::ring()
{
    if (m_adapter->state().record.stat[kCalledLine] == 1) {
        AnsiCodec codec(kDemoCodePage);
        PartyEntry caller{};
        setParty(caller, kPhoneBook[m_random() % kPhoneBook.size()], codec);
        m_adapter->raiseIncomingCall(kCalledLine, caller);
        m_giveUp.start();
    }
    scheduleNext();
}

void DemoCallers::scheduleNext()
{
    // Between three quarters of the period and one and a half periods.
    const auto base = std::chrono::milliseconds(kRingEvery);
    m_next.start(base * 3 / 4 + std::chrono::milliseconds(m_random() % static_cast<unsigned>(base.count() * 3 / 4)));
}

} // namespace vestra7
