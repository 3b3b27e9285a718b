#include "messages/maillink.h"
#include <QUrl>

namespace messages {

namespace {

QStringList subjectPieces(const MailTexts& t) {
    return {QStringLiteral(" Message Received from: "),
            t.from,
            QStringLiteral("."),
            QStringLiteral(" Company: "),
            t.company,
            t.phone,
            QStringLiteral("."),
            QStringLiteral(" Message Marked:  "),
            t.messageType,
            QStringLiteral("."),
            QStringLiteral(" Time Of Call "),
            t.time};
}

QString encoded(const QString& text, const QByteArray& keep = {}) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}
} // namespace

QStringList mailLinkPieces(const MailTexts& texts) {
    QStringList pieces{QStringLiteral("mailto:"), texts.address, QStringLiteral("?Subject=")};
    pieces << subjectPieces(texts);
    pieces << QStringLiteral("&Body=");
    return pieces;
}

QString mailLink(const MailTexts& texts) {
    // Only the unreserved characters stay as they are (and the address's "@"); blanks become
    // "%20", never "+", which a mail program would keep as a plus sign.
    return QStringLiteral("mailto:") + encoded(texts.address, QByteArrayLiteral("@")) +
           QStringLiteral("?Subject=") + encoded(subjectPieces(texts).join(QString())) +
           QStringLiteral("&Body=");
}

} // namespace messages
