#pragma once

#include "appbackend.h"
#include "backendtypes.h"

#include <QObject>
#include <QQmlEngine>
#include <QUrl>

/**
 * The back-end objects as the interface reaches them: `Backend.invoiceModel`, `Backend.authCtrl`,
 * ... (the names the program publishes), typed, so qmllint and the QML compiler check every use.
 * One instance per QML engine, a singleton of the module `Darvelinto`; attach() hands it the
 * objects of an AppBackend. Replacing the objects (a test's fresh database) notifies every binding.
 */
class Backend : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(Database* database READ database NOTIFY objectsChanged)
    Q_PROPERTY(BackupManager* backupManager READ backupManager NOTIFY objectsChanged)
    Q_PROPERTY(SettingsManager* settingsManager READ settingsManager NOTIFY objectsChanged)
    Q_PROPERTY(PropertyModel* propertyModel READ propertyModel NOTIFY objectsChanged)
    Q_PROPERTY(UnitModel* unitModel READ unitModel NOTIFY objectsChanged)
    Q_PROPERTY(TenantModel* tenantModel READ tenantModel NOTIFY objectsChanged)
    Q_PROPERTY(ContractModel* contractModel READ contractModel NOTIFY objectsChanged)
    Q_PROPERTY(DepositModel* depositModel READ depositModel NOTIFY objectsChanged)
    Q_PROPERTY(InvoiceModel* invoiceModel READ invoiceModel NOTIFY objectsChanged)
    Q_PROPERTY(PaymentModel* paymentModel READ paymentModel NOTIFY objectsChanged)
    Q_PROPERTY(MaintenanceModel* maintenanceModel READ maintenanceModel NOTIFY objectsChanged)
    Q_PROPERTY(ExpenseModel* expenseModel READ expenseModel NOTIFY objectsChanged)
    Q_PROPERTY(AccountModel* accountModel READ accountModel NOTIFY objectsChanged)
    Q_PROPERTY(ChequeModel* chequeModel READ chequeModel NOTIFY objectsChanged)
    Q_PROPERTY(BuyerModel* buyerModel READ buyerModel NOTIFY objectsChanged)
    Q_PROPERTY(InstallmentModel* installmentModel READ installmentModel NOTIFY objectsChanged)
    Q_PROPERTY(CurrencyModel* currencyModel READ currencyModel NOTIFY objectsChanged)
    Q_PROPERTY(DashboardController* dashboardCtrl READ dashboardCtrl NOTIFY objectsChanged)
    Q_PROPERTY(ReportController* reportCtrl READ reportCtrl NOTIFY objectsChanged)
    Q_PROPERTY(AuthController* authCtrl READ authCtrl NOTIFY objectsChanged)
    Q_PROPERTY(PrintController* printCtrl READ printCtrl NOTIFY objectsChanged)
    Q_PROPERTY(NotificationController* notifyCtrl READ notifyCtrl NOTIFY objectsChanged)
    Q_PROPERTY(ImportController* importCtrl READ importCtrl NOTIFY objectsChanged)
    Q_PROPERTY(AuditManager* auditMgr READ auditMgr NOTIFY objectsChanged)
    Q_PROPERTY(ReceiptController* receiptCtrl READ receiptCtrl NOTIFY objectsChanged)
    Q_PROPERTY(ReminderModel* reminderModel READ reminderModel NOTIFY objectsChanged)
    Q_PROPERTY(MeterReadingModel* meterReadingModel READ meterReadingModel NOTIFY objectsChanged)
    Q_PROPERTY(ServerChoiceController* serverChoice READ serverChoice NOTIFY objectsChanged)

public:
    explicit Backend(QObject* parent = nullptr);

    /**
     * Prepares an engine for the interface: registers the module, publishes the objects of
     * `backend` to its singleton and, for the test and shot scripts that name them directly, as
     * context properties. Call it again with new objects to replace them.
     */
    static void attach(QQmlEngine* engine, const AppBackend& backend);
    /** Takes the objects back from the engine's singleton before they are destroyed. */
    static void detach(QQmlEngine* engine);
    /** The main window file of the interface module. */
    static QUrl mainUrl();

    /** Today's date, "yyyy-MM-dd", as the business rules read it (pinned by tests and the data generator). */
    Q_INVOKABLE QString today() const;

    Database* database() const { return m_backend ? m_backend->database() : nullptr; }
    BackupManager* backupManager() const { return m_backend ? m_backend->backupManager() : nullptr; }
    SettingsManager* settingsManager() const { return m_backend ? m_backend->settingsManager() : nullptr; }
    PropertyModel* propertyModel() const { return m_backend ? m_backend->propertyModel() : nullptr; }
    UnitModel* unitModel() const { return m_backend ? m_backend->unitModel() : nullptr; }
    TenantModel* tenantModel() const { return m_backend ? m_backend->tenantModel() : nullptr; }
    ContractModel* contractModel() const { return m_backend ? m_backend->contractModel() : nullptr; }
    DepositModel* depositModel() const { return m_backend ? m_backend->depositModel() : nullptr; }
    InvoiceModel* invoiceModel() const { return m_backend ? m_backend->invoiceModel() : nullptr; }
    PaymentModel* paymentModel() const { return m_backend ? m_backend->paymentModel() : nullptr; }
    MaintenanceModel* maintenanceModel() const { return m_backend ? m_backend->maintenanceModel() : nullptr; }
    ExpenseModel* expenseModel() const { return m_backend ? m_backend->expenseModel() : nullptr; }
    AccountModel* accountModel() const { return m_backend ? m_backend->accountModel() : nullptr; }
    ChequeModel* chequeModel() const { return m_backend ? m_backend->chequeModel() : nullptr; }
    BuyerModel* buyerModel() const { return m_backend ? m_backend->buyerModel() : nullptr; }
    InstallmentModel* installmentModel() const { return m_backend ? m_backend->installmentModel() : nullptr; }
    CurrencyModel* currencyModel() const { return m_backend ? m_backend->currencyModel() : nullptr; }
    DashboardController* dashboardCtrl() const
    {
        return m_backend ? m_backend->dashboardController() : nullptr;
    }
    ReportController* reportCtrl() const { return m_backend ? m_backend->reportController() : nullptr; }
    AuthController* authCtrl() const { return m_backend ? m_backend->authController() : nullptr; }
    PrintController* printCtrl() const { return m_backend ? m_backend->printController() : nullptr; }
    NotificationController* notifyCtrl() const
    {
        return m_backend ? m_backend->notificationController() : nullptr;
    }
    ImportController* importCtrl() const { return m_backend ? m_backend->importController() : nullptr; }
    AuditManager* auditMgr() const { return m_backend ? m_backend->auditManager() : nullptr; }
    ReceiptController* receiptCtrl() const { return m_backend ? m_backend->receiptController() : nullptr; }
    ReminderModel* reminderModel() const { return m_backend ? m_backend->reminderModel() : nullptr; }
    MeterReadingModel* meterReadingModel() const
    {
        return m_backend ? m_backend->meterReadingModel() : nullptr;
    }
    ServerChoiceController* serverChoice() const { return m_backend ? m_backend->serverChoice() : nullptr; }

signals:
    void objectsChanged();

private:
    void setBackend(const AppBackend* backend);

    const AppBackend* m_backend = nullptr;
};
