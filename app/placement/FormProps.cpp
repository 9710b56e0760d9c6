#include "app/placement/FormProps.h"

#include "app/placement/RegIniFile.h"

#include <QMetaEnum>
#include <QMetaProperty>
#include <QObject>

#include <exception>

namespace {

const QStringList BooleanIdentifiers{QStringLiteral("False"), QStringLiteral("True")};

std::optional<QMetaProperty> FindProperty(const QObject& object, const QString& name) {
    const QMetaObject* meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) == 0) return property;
    }
    return std::nullopt;
}

bool IsBoolean(const QMetaProperty& property) { return property.metaType().id() == QMetaType::Bool; }

bool IsPlainEnum(const QMetaProperty& property) { return property.isEnumType() && !property.isFlagType(); }

// The identifiers of an enumerated property's type, in the order of its keys.
QStringList Identifiers(const QMetaProperty& property) {
    if (IsBoolean(property)) return BooleanIdentifiers;
    QStringList keys;
    const QMetaEnum enumerator = property.enumerator();
    for (int i = 0; i < enumerator.keyCount(); ++i) keys << QLatin1String(enumerator.key(i));
    return keys;
}

QVariant ValueOfIdentifier(const QMetaProperty& property, int index) {
    if (IsBoolean(property)) return QVariant(index == 1);
    return QVariant(property.enumerator().value(index));
}

}  // namespace

TStoredProps& TStoredProps::operator<<(const QString& entry) {
    const qsizetype dot = entry.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        FEntries.push_back({entry.trimmed(), QString(), nullptr});
    } else {
        FEntries.push_back({entry.left(dot).trimmed(), entry.mid(dot + 1).trimmed(), nullptr});
    }
    return *this;
}

QStringList TStoredProps::Texts() const {
    QStringList texts;
    for (const TEntry& entry : FEntries) texts << entry.ComponentName + QLatin1Char('.') + entry.PropertyName;
    return texts;
}

void TStoredProps::Resolve(const QObject& owner) {
    std::vector<TEntry> resolved;
    for (TEntry& entry : FEntries) {
        if (entry.ComponentName.isEmpty() || entry.PropertyName.isEmpty()) continue;
        entry.Component = owner.findChild<QObject*>(entry.ComponentName);
        if (entry.Component) resolved.push_back(entry);
    }
    FEntries = std::move(resolved);
}

void TStoredProps::Save(TRegIniFile& ini, const QString& section) const {
    for (const TEntry& entry : FEntries) {
        if (!entry.Component) continue;
        if (const auto text = EnumPropertyText(*entry.Component, entry.PropertyName))
            ini.WriteString(section, entry.ValueName(), text->trimmed());
    }
}

void TStoredProps::Restore(const TRegIniFile& ini, const QString& section) const {
    for (const TEntry& entry : FEntries) {
        if (!entry.Component) continue;
        const auto current = EnumPropertyText(*entry.Component, entry.PropertyName);
        if (!current) continue;
        try {
            const QString stored = ini.ReadString(section, entry.ValueName(), *current).trimmed();
            SetEnumPropertyText(*entry.Component, entry.PropertyName, stored);
        } catch (const std::exception&) {
            // A property that cannot take its stored value keeps its own; the others still restore.
        }
    }
}

std::optional<QString> EnumPropertyText(const QObject& object, const QString& propertyName) {
    const auto property = FindProperty(object, propertyName);
    if (!property || !property->isReadable()) return std::nullopt;
    const QVariant value = property->read(&object);
    if (IsBoolean(*property)) return BooleanIdentifiers[value.toBool() ? 1 : 0];
    if (!IsPlainEnum(*property)) return std::nullopt;
    const char* key = property->enumerator().valueToKey(value.toInt());
    if (key == nullptr) return std::nullopt;
    return QString::fromLatin1(key);
}

bool SetEnumPropertyText(QObject& object, const QString& propertyName, const QString& text) {
    const auto property = FindProperty(object, propertyName);
    if (!property || !property->isWritable() || !(IsBoolean(*property) || IsPlainEnum(*property))) return false;
    const QStringList identifiers = Identifiers(*property);
    for (int i = 0; i < identifiers.size(); ++i)
        if (identifiers[i].compare(text, Qt::CaseInsensitive) == 0)
            return property->write(&object, ValueOfIdentifier(*property, i));
    return false;
}
