#include "Package.h"

Package::Package() = default;

Package::~Package() = default;

void Package::closePackage()
{
    if (isOpen())
        close();
    mbOpened = false;
}
