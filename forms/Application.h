// The application object: the title taken from the executable's name, the
// program icon, and the one guard through which every failure that leaves a
// handler reaches the user as the error box.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <utility>

namespace velmora {

// The executable's name without its folder, cut at its first "."; the first
// character stays as it is, the rest is turned to lower case.
QString ApplicationTitleFromPath(const QString& executablePath);
// The running program's title.
QString ApplicationTitle();

// Registers the icons and layouts compiled into the program; may be called
// more than once.
void InitFormResources();

// Draws one of the program's SVG images as an icon of the given size.
QIcon SvgIcon(const QString& resource, int size);

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    const QString& Title() const { return FTitle; }

    // Qt lets no exception pass its event loop: every handler runs its body
    // here, so that a failure is shown once the body's clean-up has run, and
    // the program goes on.
    template <typename TBody> static void HandleException(TBody&& body) noexcept {
        try {
            std::forward<TBody>(body)();
        } catch (...) {
            ShowException(std::current_exception());
        }
    }
    static void ShowException(std::exception_ptr failure) noexcept;

    // The error box: caption, text. Tests put a recorder in its place; an
    // empty function restores the message box.
    using TErrorBox = std::function<void(const QString& caption, const QString& text)>;
    static void SetErrorBox(TErrorBox box);

    // The last line of defence: whatever escapes a handler's own guard.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QString FTitle;
};

} // namespace velmora
