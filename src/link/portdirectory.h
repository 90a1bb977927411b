#pragma once

#include "serialline.h"

#include <QList>
#include <QSerialPort>
#include <QString>

// What is known about a device that could not be opened. Gathered from the
// system by PortDirectory::gatherOpenFailureFacts(); kept as plain values so
// the operator's text can be built (and tested) without real devices.
struct OpenFailureFacts
{
    QString device;       // the path the program tried to open
    QString linkTarget;   // where `device` points when it is a symbolic link
    QString systemReason; // the system's own reason text
    QSerialPort::SerialPortError error = QSerialPort::OpenError;
    bool exists = true;            // the device (for a link: its target) exists
    bool accessible = false;       // this process may read and write the device
    bool exclusive = false;        // a direct open was refused with EBUSY (TIOCEXCL)
    QString holder;                // who holds the device: lock file or process, if found
    QString groupName;             // group that owns the device
    QString permissions;           // e.g. "crw-rw----"
    bool groupMayReadWrite = true; // the group permission bits allow read and write
    QString userName;
    bool inGroupNow = false;      // this login session has the group
    bool inGroupDatabase = false; // the account is listed as a member of it
};

// Maps the port numbers 1..50 ("COM1".."COM50") onto the system's devices and
// finds out which of them can be used.
class PortDirectory
{
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 50;
    static constexpr int FirstLinkPort = 41;

    // The device behind port n, or an empty string when n is outside 1..50.
    static QString devicePath(int n);
    // Folder holding the links COM41..COM50 (Unix only; empty elsewhere).
    static QString linkFolder();
    static QString portName(int n) { return QStringLiteral("COM%1").arg(n); }

    // Ports that can be opened now or exist but are held elsewhere (busy).
    QList<PortEntry> list() const;
    // The port number of a device path of the table (a link's own path or
    // the device it names), or 0.
    static int portNumberOf(const QString &device);
    // The program holding a device ("meter-setup, process 1234"), from its
    // lock file or the processes' open files; empty when none is found.
    static QString holderOf(const QString &device);

    static OpenFailureFacts gatherOpenFailureFacts(const QString &device, QSerialPort::SerialPortError error,
                                                   const QString &systemReason);
    static QString explainOpenFailure(const OpenFailureFacts &facts);
    static QString explainOpenFailure(const QString &device, QSerialPort::SerialPortError error,
                                      const QString &systemReason);

private:
    static QString devicePath(int n, const QString &linkFolder);
};
