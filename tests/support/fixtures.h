#pragma once
#include "core/failure.h"

#include <QString>
#include <QTest>

// Files the tests make for themselves, once per test process, in a temporary
// folder: "clip.viv" (VivoWriter::testClip), "drawing.wmf", "drawing.emf" and
// "emfplus.emf" (MetafileWriter at its drawing size).
// Returns the path, or an empty string with why set when it cannot be made.
QString fixtureFile(const QString& name, QString* why);

// Declares var as the path of the named fixture, or fails the test function
// saying why the fixture could not be made.
#define FIXTURE(var, name)                                                                   \
    QString var##Why;                                                                        \
    const QString var = fixtureFile(QStringLiteral(name), &var##Why);                        \
    QVERIFY2(!var.isEmpty(), qPrintable(QStringLiteral("cannot make " name ": ") + var##Why))

// Runs a statement whose PxError would otherwise escape the test function and
// end the whole test process; the failure fails this test only.
#define VERIFY_NO_PXERROR(statement)                                                         \
    do {                                                                                     \
        try {                                                                                \
            statement;                                                                       \
        } catch (const PxError& e) {                                                         \
            QFAIL(qPrintable(QStringLiteral("failure %1: %2").arg(e.failure.number).arg(e.failure.description))); \
        }                                                                                    \
    } while (false)
