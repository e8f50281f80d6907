#include "cabinetcategory.h"

#include "recordreader_p.h"

#include <QVariantList>
#include <QVariantMap>

#include <utility>

using namespace RecordReader;

const QString CabinetCategory::NameKey = QStringLiteral("title");
const QString CabinetCategory::DescriptionKey = QStringLiteral("description");
const QString CabinetCategory::IdKey = QStringLiteral("id");

bool CabinetCategory::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    CabinetCategory read;
    if (!isPresent(readUInt32(map, IdKey, &read.m_id)) || read.m_id == 0)
        return false;
    if (!isPresent(readString(map, NameKey, &read.m_name)) || read.m_name.isEmpty())
        return false;
    readString(map, DescriptionKey, &read.m_description);
    swap(read);
    return true;
}

QVariant CabinetCategory::toVariant() const
{
    QVariantMap map;
    map.insert(IdKey, m_id);
    map.insert(NameKey, m_name);
    map.insert(DescriptionKey, m_description);
    return map;
}

bool CabinetCategory::operator==(const CabinetCategory &other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_description == other.m_description;
}

void CabinetCategory::swap(CabinetCategory &other) noexcept
{
    std::swap(m_name, other.m_name);
    std::swap(m_description, other.m_description);
    std::swap(m_id, other.m_id);
}

const QString CabinetCategoryGroup::CategoryListKey = QStringLiteral("items");
const QString CabinetCategoryGroup::NameKey = QStringLiteral("title");

bool CabinetCategoryGroup::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    CabinetCategoryGroup read;
    if (!isPresent(readString(map, NameKey, &read.m_name)) || read.m_name.isEmpty())
        return false;
    const bool itemsRead = readList(map.value(CategoryListKey), &read.m_categories,
                                    [](const QVariant &item, CabinetCategory *category) {
                                        return category->fromVariant(item);
                                    });
    if (!itemsRead)
        return false;
    swap(read);
    return true;
}

QVariant CabinetCategoryGroup::toVariant() const
{
    QVariantMap map;
    map.insert(NameKey, m_name);
    map.insert(CategoryListKey, writeList(m_categories));
    return map;
}

bool CabinetCategoryGroup::operator==(const CabinetCategoryGroup &other) const
{
    return m_name == other.m_name && m_categories == other.m_categories;
}

void CabinetCategoryGroup::swap(CabinetCategoryGroup &other) noexcept
{
    m_categories.swap(other.m_categories);
    std::swap(m_name, other.m_name);
}

bool CabinetCategoryGroupList::fromVariant(const QVariant &value)
{
    return readList(value, this, [](const QVariant &item, CabinetCategoryGroup *group) {
        return group->fromVariant(item);
    });
}

QVariant CabinetCategoryGroupList::toVariant() const
{
    return writeList(*this);
}

bool CabinetCategoryIdList::fromVariant(const QVariant &value)
{
    return readList(value, this, [](const QVariant &item, quint32 *id) {
        bool ok = false;
        *id = toUInt32(item, &ok);
        return ok;
    });
}

QVariant CabinetCategoryIdList::toVariant() const
{
    QVariantList items;
    items.reserve(size());
    for (quint32 id : *this)
        items.append(id);
    return items;
}
