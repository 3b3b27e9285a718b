#pragma once
// Opening a link with the desktop's program for it (a "mailto:" link: the user's mail
// program). Every call goes through the one replaceable Shell, so tests record the links
// instead of starting programs.
#include <QString>
#include <memory>

namespace shell {

class Shell {
public:
    virtual ~Shell() = default;
    // Hands `link` to the desktop. Nothing is reported back: whether a program started is the
    // desktop's affair, and callers do not look.
    virtual void open(const QString& link) = 0;
};

// The desktop's own opener, `xdg-open`, started directly with the link as its one argument
// (no command shell reads the link) and left to run on its own.
class DesktopShell : public Shell {
public:
    void open(const QString& link) override;
    // The opener started: "xdg-open", found on the PATH.
    static QString program();
};

Shell& shell();
void setShell(std::shared_ptr<Shell> s); // nullptr: back to the desktop's opener

// shell().open(link)
void openLink(const QString& link);

} // namespace shell
