// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_TESTS_LOGCAPTURE_H
#define ZVR_TESTS_LOGCAPTURE_H

#include <QList>
#include <QString>
#include <QtGlobal>

// One log line with the context the library attaches to it.
struct CapturedMessage
{
    QtMsgType type;
    QString category, file, function;
    int line;
    QString text;
};

// Records every log line while it lives and restores the previous handler after.
class LogCapture
{
public:
    LogCapture()
    {
        messages().clear();
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    Q_DISABLE_COPY(LogCapture)

    const QList<CapturedMessage> &lines() const { return messages(); }
    void clear() { messages().clear(); }

private:
    static QList<CapturedMessage> &messages()
    {
        static QList<CapturedMessage> list;
        return list;
    }

    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        messages().append({ type, QString::fromUtf8(context.category), QString::fromUtf8(context.file),
            QString::fromUtf8(context.function), context.line, text });
    }

    QtMessageHandler m_previous = nullptr;
};

#endif // ZVR_TESTS_LOGCAPTURE_H
