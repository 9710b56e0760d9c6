#include "app/placement/FormPlacement.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/placement/RegIniFile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

#include <exception>

namespace names = placement_names;

namespace {

// Sets a flag for the lifetime of the guard.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
};

QString ExecutableName() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

}  // namespace

TFormPlacement::TFormPlacement(QWidget* owner) : FOwner(owner) {}

TFormPlacement::~TFormPlacement() { FormDestroy(); }

void TFormPlacement::Loaded() { FOwner->installEventFilter(this); }

QString TFormPlacement::StoreFileName() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Software"), ExecutableName())
        .fileName();
}

QString TFormPlacement::SectionName() const {
    return IniSection.isEmpty() ? QString::fromLatin1(FOwner->metaObject()->className()) : IniSection;
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FOwner || FForwardingClose) return false;
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        FormShow();
    } else if (event->type() == QEvent::Close) {
        FormCloseQuery(static_cast<QCloseEvent&>(*event));
        return true;
    }
    return false;
}

void TFormPlacement::FormShow() {
    try {
        if (Active) RestoreFormPlacement();
    } catch (const std::exception& error) {
        ShowFailure(FOwner, error);
    }
    PlaceOnShow(*FOwner, Position);
}

void TFormPlacement::FormCloseQuery(QCloseEvent& event) {
    // The window decides first whether it may close; only an allowed close saves.
    {
        const TFlagGuard forwarding(FForwardingClose);
        QCoreApplication::sendEvent(FOwner, &event);
    }
    if (!event.isAccepted() || !Active || FOwner->windowHandle() == nullptr) return;
    try {
        SaveFormPlacement();
    } catch (const std::exception& error) {
        ShowFailure(FOwner, error);
    }
}

void TFormPlacement::FormDestroy() noexcept {
    if (FDestroyHandled) return;
    FDestroyHandled = true;
    if (!Active || FSaved) return;
    try {
        const TFlagGuard destroying(FDestroying);
        SaveFormPlacement();
    } catch (const std::exception& error) {
        // The window is half gone: the message box must not belong to it.
        ShowFailure(nullptr, error);
    }
}

void TFormPlacement::ShowFailure(QWidget* parent, const std::exception& error) const {
    Dialogs().ShowException(parent, QString::fromUtf8(error.what()));
}

void TFormPlacement::RestoreFormPlacement() {
    FSaved = false;
    {
        const TRegIniFile ini(StoreFileName());
        if (ini.ReadInteger(SectionName(), names::FormVersion, 0) >= Version) RestorePlacement(ini);
        FRestored = true;
    }
    ResetMaxPosition();
}

void TFormPlacement::RestorePlacement(const TRegIniFile& ini) {
    const TWindowPlacement placement = ReadPlacementBeforeShow();
    if (Options & fpPosition) RestorePosition(ini, placement);
    if (Options & fpState) RestoreState(ini);
}

TWindowPlacement TFormPlacement::ReadPlacementBeforeShow() const {
    TWindowPlacement placement = FRecord.Read(*FOwner);
    if (!IsShownToSystem(*FOwner)) placement.ShowCmd = swHide;
    return placement;
}

QString TFormPlacement::ReadPositionText(const TRegIniFile& ini, const QString& name) const {
    const QString text = ini.ReadString(SectionName(), name + ScreenSuffix(ScreenSize()), QString());
    return text.isEmpty() ? ini.ReadString(SectionName(), name, QString()) : text;
}

void TFormPlacement::RestorePosition(const TRegIniFile& ini, TWindowPlacement placement) {
    const QString section = SectionName();
    bool found = false;
    placement.Flags = ini.ReadInteger(section, names::Flags, placement.Flags);

    const QString minMax = ReadPositionText(ini, names::MinMaxPos);
    if (!minMax.isEmpty()) {
        found = true;
        const TPositionWords words = ParsePositions(minMax, {0, 0, 0, 0});
        placement.MinPosition = QPoint(words[0], words[1]);
        placement.MaxPosition = QPoint(words[2], words[3]);
    }
    const QString normal = ReadPositionText(ini, names::NormPos);
    if (!normal.isEmpty()) {
        found = true;
        const QRect current = FOwner->frameGeometry();
        placement.NormalPosition = RectFromWords(ParsePositions(
            normal, {current.x(), current.y(), current.x() + current.width(), current.y() + current.height()}));
    }
    const int pixelsPerInch = ScreenPixelsPerInch();
    if (!StoredPositionApplies(ini.ReadInteger(section, names::PixelsPerInch, pixelsPerInch), pixelsPerInch))
        found = false;
    if (!found) return;

    if (!IsSizeable(*FOwner))
        placement.NormalPosition = KeepWindowSize(placement.NormalPosition, FOwner->frameGeometry().size());
    if (placement.NormalPosition.Right <= placement.NormalPosition.Left) return;
    // Centring would move the window away from the stored position again.
    if (Position == poScreenCenter) Position = poDesigned;
    FRecord.Apply(*FOwner, placement);
}

void TFormPlacement::RestoreState(const TRegIniFile& ini) {
    const bool mainWindow = IsApplicationMainWindow();
    const TWindowState state = StateFromShowCmd(ini.ReadInteger(SectionName(), names::ShowCmd, 0),
                                                InitialWindowState(mainWindow, Position));
    if (state == wsMinimized && mainWindow) {
        PostMinimize(*FOwner);
        return;
    }
    SetWindowState(*FOwner, state);
    FOwner->update();
}

void TFormPlacement::ResetMaxPosition() {
    TWindowPlacement placement = ReadPlacementBeforeShow();
    const QSize frame = BorderFrameSize(*FOwner);
    placement.MaxPosition = QPoint(-frame.width(), -frame.height());
    FRecord.Apply(*FOwner, placement);
}

bool TFormPlacement::IsApplicationMainWindow() const {
    // Before the application has created its windows, the window being shown is the main one.
    const auto* application = qobject_cast<TApplication*>(QCoreApplication::instance());
    if (application == nullptr || application->Forms().empty()) return true;
    return application->Forms().front() == FOwner;
}

void TFormPlacement::SaveFormPlacement() {
    if (!FRestored && Active) return;
    TRegIniFile ini(StoreFileName());
    ini.WriteInteger(SectionName(), names::FormVersion, Version);
    SavePlacement(ini);
    ini.UpdateFile();
    FSaved = true;
}

void TFormPlacement::SavePlacement(TRegIniFile& ini) {
    const QString section = SectionName();
    const TWindowPlacement placement = FRecord.Read(*FOwner);
    const QString suffix = ScreenSuffix(ScreenSize());
    const QString minMax = FormatPositions(MinMaxWords(placement));
    const QString normal = FormatPositions(NormalWords(placement.NormalPosition));
    ini.WriteInteger(section, names::Flags, placement.Flags);
    ini.WriteInteger(section, names::ShowCmd, placement.ShowCmd);
    ini.WriteInteger(section, names::PixelsPerInch, ScreenPixelsPerInch());
    ini.WriteString(section, names::MinMaxPos + suffix, minMax);
    ini.WriteString(section, names::MinMaxPos, minMax);
    ini.WriteString(section, names::NormPos + suffix, normal);
    ini.WriteString(section, names::NormPos, normal);
    ini.WriteBool(section, names::Visible, FDestroying);
}

TFormStorage::~TFormStorage() { FormDestroy(); }

void TFormStorage::Loaded() {
    StoredProps.Resolve(*Owner());
    TFormPlacement::Loaded();
}

void TFormStorage::RestorePlacement(const TRegIniFile& ini) {
    TFormPlacement::RestorePlacement(ini);
    SetRestored();
    StoredProps.Restore(ini, SectionName());
}

void TFormStorage::SavePlacement(TRegIniFile& ini) {
    TFormPlacement::SavePlacement(ini);
    StoredProps.Save(ini, SectionName());
}
