#pragma once

#include "lodestar_export.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

// A category of sites that a profile can block: {"id": unsigned, "title": text,
// "description": text}.
class LODESTAR_EXPORT CabinetCategory
{
public:
    static const QString NameKey;        // "title"
    static const QString DescriptionKey; // "description"
    static const QString IdKey;          // "id"

    CabinetCategory() = default;
    CabinetCategory(quint32 id, const QString &name, const QString &description = QString())
        : m_name(name), m_description(description), m_id(id)
    {
    }

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }
    quint32 id() const { return m_id; }
    void setId(quint32 id) { m_id = id; }

    // Needs a map with a non-zero id and a non-empty title; the description is optional.
    // On failure the category is left unchanged.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetCategory &other) const;
    bool operator!=(const CabinetCategory &other) const { return !(*this == other); }
    void swap(CabinetCategory &other) noexcept;

private:
    QString m_name;
    QString m_description;
    quint32 m_id = 0;
};

// A named group of categories: {"title": text, "items": [category...]}.
class LODESTAR_EXPORT CabinetCategoryGroup
{
public:
    static const QString CategoryListKey; // "items"
    static const QString NameKey;         // "title"

    CabinetCategoryGroup() = default;

    QList<CabinetCategory> categories() const { return m_categories; }
    void setCategories(const QList<CabinetCategory> &categories) { m_categories = categories; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // Needs a map with a non-empty title and an "items" list of valid categories (all or
    // nothing). On failure the group is left unchanged.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetCategoryGroup &other) const;
    bool operator!=(const CabinetCategoryGroup &other) const { return !(*this == other); }
    void swap(CabinetCategoryGroup &other) noexcept;

private:
    QList<CabinetCategory> m_categories;
    QString m_name;
};

// The account service's category groups; all-or-nothing.
class LODESTAR_EXPORT CabinetCategoryGroupList : public QList<CabinetCategoryGroup>
{
public:
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
};

// A list of category ids; all-or-nothing, every element an unsigned 32-bit number.
class LODESTAR_EXPORT CabinetCategoryIdList : public QList<quint32>
{
public:
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
};

Q_DECLARE_METATYPE(CabinetCategory)
Q_DECLARE_METATYPE(CabinetCategoryGroup)
Q_DECLARE_METATYPE(CabinetCategoryGroupList)
Q_DECLARE_METATYPE(CabinetCategoryIdList)
