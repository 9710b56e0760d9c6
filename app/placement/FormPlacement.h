// TFormPlacement keeps a window's position and state between runs in the
// per-user settings store; TFormStorage adds a list of the window's control
// properties (StoredProps) saved and restored alongside.
//
// Contract:
// - The component is a member of its owner window, so its destruction is the
//   window's destroy event. Loaded(), called once the window's controls
//   exist, resolves the stored properties and takes over the window's show
//   and close events (an event filter: the window's own handlers still run).
// - Each time the window is about to be shown, RestoreFormPlacement runs (if
//   Active) and the window is then placed by its start rule (Position), which
//   a restored position has switched to poDesigned. A close that the window
//   allows runs SaveFormPlacement; a destruction not preceded by a save since
//   the last restore runs it as well, with "Visible" written as "1".
// - The store is $XDG_CONFIG_HOME/Software/<executable name>.ini (the ini
//   file QSettings assigns to that organisation and application), section
//   IniSection or, when empty, the owner's class name. It is open only during
//   one restore or one save.
// - RestoreFormPlacement and SaveFormPlacement raise the store's file errors;
//   the event hooks show them through Dialogs().ShowException and let the
//   showing, closing or destroying go on.
#pragma once

#include "app/placement/FormProps.h"
#include "app/placement/PlacementUtils.h"
#include "app/placement/WindowPlacement.h"

#include <QFlags>
#include <QObject>
#include <QString>

#include <exception>

class QCloseEvent;
class QWidget;
class TRegIniFile;

enum TPlacementOption { fpState = 0x1, fpPosition = 0x2 };
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPlacementOptions)

class TFormPlacement : public QObject {
    Q_OBJECT

public:
    explicit TFormPlacement(QWidget* owner);
    ~TFormPlacement() override;

    // Off: neither restore nor save (the start position rule still applies).
    bool Active = true;
    // The section in the store; empty means the owner's class name.
    QString IniSection;
    // What a restore applies: the stored position, the stored window state.
    TPlacementOptions Options = fpState | fpPosition;
    // A stored "FormVersion" below this skips the restore of the window settings.
    int Version = 0;
    // The owner window's start position when no stored position applies.
    TFormPosition Position = poDesigned;

    // Called once the owner's controls exist.
    virtual void Loaded();

    void RestoreFormPlacement();
    void SaveFormPlacement();

    // The store's file and the owner's section in it.
    static QString StoreFileName();
    QString SectionName() const;

protected:
    virtual void RestorePlacement(const TRegIniFile& ini);
    virtual void SavePlacement(TRegIniFile& ini);

    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget* Owner() const { return FOwner; }
    void SetRestored() { FRestored = true; }
    // The owner's destroy step, run once by the destructor of the most derived
    // class, while its own SavePlacement still takes part.
    void FormDestroy() noexcept;

private:
    void FormShow();
    void FormCloseQuery(QCloseEvent& event);
    void ShowFailure(QWidget* parent, const std::exception& error) const;

    void RestorePosition(const TRegIniFile& ini, TWindowPlacement placement);
    void RestoreState(const TRegIniFile& ini);
    void ResetMaxPosition();
    QString ReadPositionText(const TRegIniFile& ini, const QString& name) const;
    bool IsApplicationMainWindow() const;
    TWindowPlacement ReadPlacementBeforeShow() const;

    QWidget* FOwner;
    TWindowPlacementRecord FRecord;
    bool FRestored = false;
    bool FSaved = false;
    bool FDestroying = false;
    bool FForwardingClose = false;
    bool FDestroyHandled = false;
};

class TFormStorage : public TFormPlacement {
    Q_OBJECT

public:
    using TFormPlacement::TFormPlacement;
    ~TFormStorage() override;

    TStoredProps StoredProps;

    void Loaded() override;

protected:
    void RestorePlacement(const TRegIniFile& ini) override;
    void SavePlacement(TRegIniFile& ini) override;
};
