// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "devicefinder.h"
#include "qmlregistration.h"
#include "simulatednetwork.h"

#include <QLoggingCategory>
#include <QObject>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest>

// Registers the types once; every test file's engine gets its own finder over the
// default network, answering changes quickly.
class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
        registerQmlTypes([] {
            auto *network = new SimulatedNetwork;
            network->simulation()->setAnswerDelay(50);
            auto *finder = new DeviceFinder(network);
            network->setParent(finder);
            return finder;
        });
    }

    void qmlEngineAvailable(QQmlEngine *engine) { addQmlImportPath(engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(devicefinder_qml, Setup)

#include "tst_devicefinder_qml.moc"
