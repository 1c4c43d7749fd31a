#include "cliprompter.h"

#include "text/stringtable.h"

namespace {

enum TextId : int {
    AnsweredYes = 1067,
    NotAnswered = 1068,
};

// Message texts break their lines with CR LF or LF; a terminal wants LF.
QString forTerminal(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

CliPrompter::CliPrompter(bool answerYes, std::FILE *out)
    : m_yes(answerYes)
    , m_out(out)
{
}

Prompter::Answer CliPrompter::ask(const QString &text, Buttons buttons, Icon, const QString &)
{
    m_messages.append(forTerminal(text));
    print(forTerminal(text));
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_yes) {
        print(LoadText(AnsweredYes));
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    m_refused = true;
    print(LoadText(NotAnswered));
    return closedAnswer(buttons);
}

void CliPrompter::print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), m_out);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}
