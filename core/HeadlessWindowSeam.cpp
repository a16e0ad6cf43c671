// SPDX-License-Identifier: MIT
#include "HeadlessWindowSeam.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
void writeStandardError(const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString answerText(BoxAnswer answer)
{
    switch (answer) {
    case BoxAnswer::Cancel:
        return u"Cancel"_s;
    case BoxAnswer::No:
        return u"No"_s;
    case BoxAnswer::Yes:
        return u"Yes"_s;
    case BoxAnswer::Ok:
        break;
    }
    return u"OK"_s;
}
} // namespace

HeadlessWindowSeam::HeadlessWindowSeam(TextSink errorOutput)
    : m_errorOutput(errorOutput ? std::move(errorOutput) : TextSink(writeStandardError))
{}

BoxAnswer HeadlessWindowSeam::cancelAnswer(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::OkCancel:
    case BoxButtons::YesNoCancel:
        return BoxAnswer::Cancel;
    case BoxButtons::YesNo:
        return BoxAnswer::No;
    case BoxButtons::Ok:
        break;
    }
    return BoxAnswer::Ok;
}

void HeadlessWindowSeam::setStatusText(const QString& text)
{
    m_statusText = text;
    if (!text.isEmpty())
        m_errorOutput(text);
}

BoxAnswer HeadlessWindowSeam::messageBox(const QString& text, const QString& title, BoxIcon, BoxButtons buttons)
{
    const BoxAnswer answer = cancelAnswer(buttons);
    QString oneLine = text;
    oneLine.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ');
    m_errorOutput(title + u": "_s + oneLine);
    if (m_log)
        m_log(u"message box without a window, answered "_s + answerText(answer) + u": "_s + oneLine, 2);
    return answer;
}
