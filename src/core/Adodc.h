#pragma once
// What the program sets on a data control, the object that binds a grid of a window to the database.

#include <QString>

class Adodc {
public:
    virtual ~Adodc() = default;
    virtual void setUserName(const QString& userName) = 0;
    virtual void setPassword(const QString& password) = 0;
    virtual void setConnectionString(const QString& connectionString) = 0;
};
