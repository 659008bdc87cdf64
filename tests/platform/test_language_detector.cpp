#include "platform/LanguageDetector.h"

#include <QTest>

using namespace mendo;

class TestLanguageDetector : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesTheLanguage_data();
    void namesTheLanguage();
};

// Chat-length messages. Where the detector is unsure it must answer "",
// never a neighbouring language.
void TestLanguageDetector::namesTheLanguage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");
    const auto row = [](const char* name, const char* text, const char* code) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromLatin1(code);
    };
    row("Bulgarian", "Здравейте, ще дойдете ли утре на срещата в офиса? Трябва да обсъдим новия проект.", "bg");
    row("Kazakh", "Сәлеметсіз бе, бүгін қалайсыз? Ертеңгі кездесу туралы бір нәрсе сұрағым келеді.", "kk");
    row("Ukrainian", "Привіт, ти сьогодні вільний на обід? Я хотів би поговорити про нашу поїздку.", "uk");
    row("Russian", "Привет, ты сегодня свободен на обед? Хочу обсудить с тобой нашу поездку.", "ru");
    row("Czech", "Dobrý den, jak se dnes máte? Chtěl bych se vás zeptat na něco důležitého.", "cs");
    row("Polish", "Cześć, masz dzisiaj czas na obiad? Chciałbym porozmawiać o naszym wyjeździe.", "pl");
    row("Danish", "Hej, hvordan har du det i dag? Jeg vil gerne spørge dig om noget vigtigt.", "da");
    row("Swedish", "Hej, hur mår du idag? Jag skulle vilja fråga dig om något viktigt inför mötet.", "sv");
    row("Romanian", "Bună ziua, ce mai faceți astăzi? Aș dori să vă întreb ceva important.", "ro");
    row("Finnish", "Hei, mitä kuuluu tänään? Haluaisin kysyä sinulta jotain tärkeää huomisesta.", "fi");
    row("Hungarian", "Jó napot, hogy van ma? Szeretnék kérdezni valami fontosat a holnapi találkozóról.", "hu");
    row("German", "Hast du heute Zeit für ein Mittagessen? Ich möchte mit dir über die Reise sprechen.", "de");
    row("French", "Bonjour, tu es libre pour déjeuner avec nous demain? On doit parler du voyage.", "fr");
    row("Portuguese", "Olá, você está livre para almoçar hoje? Quero conversar sobre a nossa viagem.", "pt");
    row("Chinese, simplified", "你好，我们明天去哪里吃饭？我想和你谈谈我们的旅行计划。", "zh-Hans");
    row("Chinese, traditional", "你好，我們明天去哪裡吃飯？我想和你談談我們的旅行計劃。", "zh-Hant");
    row("Japanese", "こんにちは、明日のお昼ご飯に行けますか？旅行の話をしたいです。", "ja");
    row("Arabic", "مرحبا، هل أنت متفرغ لتناول الغداء اليوم؟ أريد أن أتحدث معك عن رحلتنا.", "ar");
    row("Hebrew", "שלום, מה שלומך היום? אני רוצה לשאול אותך משהו חשוב על הפגישה.", "he");
    row("Greek", "Γεια σου, τι κάνεις σήμερα; Θέλω να σε ρωτήσω κάτι σημαντικό για τη συνάντηση.", "el");
    row("English", "Hey, are you free for lunch today? I would like to talk about our trip.", "en");
    row("short Latin: ok", "ok", "");
    row("short Latin: lol", "lol", "");
    row("no letters", "12:30 👍 !!", "");
    row("empty", "", "");
}

void TestLanguageDetector::namesTheLanguage()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(Cld2LanguageDetector().dominantLanguage(text), code);
}

QTEST_GUILESS_MAIN(TestLanguageDetector)
#include "test_language_detector.moc"
