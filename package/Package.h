#pragma once
#include <QFile>

// The one package object of the program. It is reused for every package
// that is opened; the file device is the package file while one is open.
class Package : public QFile
{
    Q_OBJECT
public:
    Package();
    ~Package() override;

    void closePackage();

private:
    bool mbOpened = false;
};
