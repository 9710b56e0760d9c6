// The stored properties of a form storage: entries "Component.Property" that
// name a property of an object in a window's object tree (by objectName),
// and the saving and restoring of such a property as text in a window
// section under the value name "Component_Property".
//
// Contract:
// - Resolve() splits every entry at its first ".", trims both parts, and
//   drops the entries with an empty part or whose component part names no
//   object below the owner; the rest remember their object.
// - Only enumerated properties are stored: Booleans as "True" or "False",
//   Qt enumerations by their key. Restoring compares the stored text without
//   regard to case with the identifiers of the property's type and sets the
//   property on a match; any other text leaves it as it is. Property names
//   compare without regard to case ("Checked" is Qt's "checked").
// - An object that dies after the resolution is skipped.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QObject;
class TRegIniFile;

class TStoredProps {
public:
    struct TEntry {
        QString ComponentName;
        QString PropertyName;
        QPointer<QObject> Component;

        QString ValueName() const { return ComponentName + QLatin1Char('_') + PropertyName; }
    };

    TStoredProps& operator<<(const QString& entry);
    // The entries as "Component.Property" texts, in list order.
    QStringList Texts() const;
    const std::vector<TEntry>& Entries() const { return FEntries; }

    void Resolve(const QObject& owner);

    void Save(TRegIniFile& ini, const QString& section) const;
    void Restore(const TRegIniFile& ini, const QString& section) const;

private:
    std::vector<TEntry> FEntries;
};

// The identifier of an enumerated property's current value; none when the
// object has no such property or it is not enumerated.
std::optional<QString> EnumPropertyText(const QObject& object, const QString& propertyName);

// Sets an enumerated property to the value whose identifier matches text
// (without regard to case); false when nothing matched.
bool SetEnumPropertyText(QObject& object, const QString& propertyName, const QString& text);
