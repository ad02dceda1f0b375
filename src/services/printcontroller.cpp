#include "printcontroller.h"

#include "settingsmanager.h"

PrintController::PrintController(SettingsManager* settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
}
