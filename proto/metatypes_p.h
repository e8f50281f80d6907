#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of lodestar's API; it may change from version to version.
//

#include <QMetaType>

// True for the integer types a QVariant may carry: what the JSON parser produces (int,
// long long) and what a C++ caller may put into a map (unsigned, short, char sizes).
inline bool isIntegerMetaType(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}
