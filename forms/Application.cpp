#include "forms/Application.h"

#include "forms/QtText.h"
#include "platform/Exceptions.h"

#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <new>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void InitResourcesOnce() {
    static const bool done = [] {
        Q_INIT_RESOURCE(velmora);
        return true;
    }();
    (void)done;
}

namespace velmora {

namespace {

TApplication::TErrorBox& ErrorBoxHook() {
    static TApplication::TErrorBox hook;
    return hook;
}

} // namespace

QString ApplicationTitleFromPath(const QString& executablePath) {
    qsizetype folderEnd = executablePath.lastIndexOf(QLatin1Char('/'));
#ifdef _WIN32
    folderEnd = std::max(folderEnd, executablePath.lastIndexOf(QLatin1Char('\\')));
#endif
    QString name = executablePath.mid(folderEnd + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle() {
    if (const auto* application = qobject_cast<const TApplication*>(QCoreApplication::instance()))
        return application->Title();
    return ApplicationTitleFromPath(QCoreApplication::applicationFilePath());
}

void InitFormResources() {
    InitResourcesOnce();
}

QIcon SvgIcon(const QString& resource, int size) {
    InitFormResources();
    QSvgRenderer renderer(resource);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    // The sharp size and its double, for screens that scale.
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
        }
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InitFormResources();
    FTitle = ApplicationTitleFromPath(applicationFilePath());
    setWindowIcon(SvgIcon(QStringLiteral(":/icons/mainicon.svg"), 32));
}

TApplication::~TApplication() = default;

void TApplication::SetErrorBox(TErrorBox box) {
    ErrorBoxHook() = std::move(box);
}

void TApplication::ShowException(std::exception_ptr failure) noexcept {
    try {
        QString text;
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            text = FromLocal(ErrorBoxText(e));
        } catch (...) {
            text = FromLocal(ErrorBoxText(std::string("Unexpected failure")));
        }
        const QString caption = ApplicationTitle();
        if (const TErrorBox& hook = ErrorBoxHook()) {
            hook(caption, text);
            return;
        }
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } catch (...) {
        // Nothing is left to report a failure of the report itself with.
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    HandleException([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace velmora
