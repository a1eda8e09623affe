#include "help/faqform.h"

#include "help/maker.h"
#include "ui/infolabel.h"
#include "ui/wrappingbutton.h"

FaqForm::FaqForm(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("FAQ"), Border::ToolWindow, 4815, 3345)
{
    auto *host = add<WrappingButton>(this, "Command1", 120, 240, 1695, 615,
                                     QStringLiteral("What is a good free website host?"));
    auto *images = add<WrappingButton>(this, "Command2", 120, 960, 1695, 615,
                                       QStringLiteral("Why do my images not show up?"));
    auto *imageHost = add<WrappingButton>(this, "Command3", 120, 1680, 1695, 615,
                                          QStringLiteral("What is a good free image host?"));
    m_answer = add<InfoLabel>(this, "Label1", 2040, 240, 2535, 2775,
                              "For more information contact Korvanetech at " + Maker::email());
    auto *spaces = add<WrappingButton>(this, "Command4", 120, 2400, 1695, 615,
                                       QStringLiteral("How do I add spaces to my webpage?"));

    // Each answer replaces the one shown before.
    connect(host, &QPushButton::clicked, this, [this] {
        m_answer->setText(
            "A good free host that we suggest would have to be https://neocities.org");
    });
    connect(images, &QPushButton::clicked, this, [this] {
        m_answer->setText("The reason is most likely because the images you are using are not in "
                          "the same directory. Change the HTML to the correct directory.");
    });
    connect(imageHost, &QPushButton::clicked, this,
            [this] { m_answer->setText("We suggest Imgur - It's free, fast, and reliable."); });
    connect(spaces, &QPushButton::clicked, this, [this] {
        m_answer->setText(
            "The HTML code <BR> means a break, which is a break down one line.  If you have "
            "<BR><BR> that will put an empty line on your site. You can use several of these to "
            "place text up and down your site. In TAGLOOM and normal HTML scripting, empty lines "
            "do not mean anything, you must use the <BR> command");
    });

    // The four questions are drawn in one type, however long each one is.
    Fitting::shrinkTogether(
        {host->caption(), images->caption(), imageHost->caption(), spaces->caption()});

    setTabChain({host, images, imageHost, spaces});
    host->setFocus();
}
