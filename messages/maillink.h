#pragma once
// The "mailto:" link that hands a message to the user's mail program: addressed to the
// employee, with a one-line summary of the message as the subject and an empty body.
#include <QString>
#include <QStringList>

namespace messages {

// What the link is made of, as the window's boxes show it.
struct MailTexts {
    QString address; // the employee's e-mail address
    QString from;
    QString company;
    QString phone;
    QString messageType;
    QString time;
};

// The sixteen pieces in their order, unencoded: "mailto:", the address, "?Subject=", the
// summary's parts (from, company and phone, message type, time of call) and "&Body=".
QStringList mailLinkPieces(const MailTexts& texts);

// The link a mail program reads back as exactly those pieces: the address and the subject
// percent-encoded (UTF-8), so that an "&", "?", "#", "%", "=" or line break a caller's text
// holds stays part of it instead of ending the subject or starting another header.
QString mailLink(const MailTexts& texts);

} // namespace messages
