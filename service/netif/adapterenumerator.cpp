#include "adapterenumerator.h"

AdapterEnumerator::AdapterEnumerator(QObject *parent)
    : QObject(parent)
{
}

AdapterEnumerator::~AdapterEnumerator() = default;
