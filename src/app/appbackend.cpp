#include "appbackend.h"

#include "accountmodel.h"
#include "auditmanager.h"
#include "authcontroller.h"
#include "backupmanager.h"
#include "buyermodel.h"
#include "chequemodel.h"
#include "contractmodel.h"
#include "currencymodel.h"
#include "dashboardcontroller.h"
#include "database.h"
#include "depositmodel.h"
#include "expensemodel.h"
#include "importcontroller.h"
#include "installmentmodel.h"
#include "invoicemodel.h"
#include "maintenancemodel.h"
#include "meterreadingmodel.h"
#include "notificationcontroller.h"
#include "paymentmodel.h"
#include "printcontroller.h"
#include "propertymodel.h"
#include "receiptcontroller.h"
#include "remindermodel.h"
#include "reportcontroller.h"
#include "serverchoicecontroller.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QQmlContext>

AppBackend::AppBackend(Database* database, const QString& dataDir)
    : m_database(database)
    , m_backupManager(std::make_unique<BackupManager>(dataDir))
    , m_settingsManager(std::make_unique<SettingsManager>(database))
    , m_propertyModel(std::make_unique<PropertyModel>(database))
    , m_unitModel(std::make_unique<UnitModel>(database))
    , m_tenantModel(std::make_unique<TenantModel>(database))
    , m_contractModel(std::make_unique<ContractModel>(database))
    , m_depositModel(std::make_unique<DepositModel>(database))
    , m_invoiceModel(std::make_unique<InvoiceModel>(database))
    , m_paymentModel(std::make_unique<PaymentModel>(database))
    , m_maintenanceModel(std::make_unique<MaintenanceModel>(database))
    , m_expenseModel(std::make_unique<ExpenseModel>(database))
    , m_accountModel(std::make_unique<AccountModel>(database))
    , m_chequeModel(std::make_unique<ChequeModel>(database))
    , m_buyerModel(std::make_unique<BuyerModel>(database))
    , m_installmentModel(std::make_unique<InstallmentModel>(database))
    , m_currencyModel(std::make_unique<CurrencyModel>(database))
    , m_dashboardController(std::make_unique<DashboardController>(database))
    , m_reportController(std::make_unique<ReportController>(database))
    , m_authController(std::make_unique<AuthController>(database))
    , m_printController(std::make_unique<PrintController>(m_settingsManager.get()))
    , m_notificationController(std::make_unique<NotificationController>(database))
    , m_importController(std::make_unique<ImportController>(database))
    , m_auditManager(std::make_unique<AuditManager>(database))
    , m_receiptController(
          std::make_unique<ReceiptController>(database, m_settingsManager.get(), m_printController.get()))
    , m_reminderModel(std::make_unique<ReminderModel>(database))
    , m_meterReadingModel(std::make_unique<MeterReadingModel>(database))
    , m_serverChoice(std::make_unique<ServerChoiceController>(database, dataDir))
{
    m_backupManager->setOnServer(database->isServer());
    // A restored copy may come from an older version of the program: bring its schema up to date
    // at once, as a start would, so the pages never meet a missing column before the restart.
    QObject::connect(m_backupManager.get(), &BackupManager::backupRestored, database, [database] {
        database->createTables();
        database->migrateSchema();
        database->createIndexes();
        database->addPostingAccounts();
    });
    // Sales are audited under the account that made them, refused ones included; the pages never
    // name the user.
    InstallmentModel* installments = m_installmentModel.get();
    AuthController* auth = m_authController.get();
    QObject::connect(auth, &AuthController::authChanged, installments,
        [installments, auth] { installments->setActingUser(auth->currentUserId()); });
}

AppBackend::~AppBackend()
{
    // unique_ptr members go in reverse declaration order, but spell it out: the order is part of
    // the contract (later objects may still refer to earlier ones while they shut down).
    m_reminderModel.reset();
    m_meterReadingModel.reset();
    m_receiptController.reset();
    m_auditManager.reset();
    m_importController.reset();
    m_notificationController.reset();
    m_printController.reset();
    m_authController.reset();
    m_reportController.reset();
    m_dashboardController.reset();
    m_currencyModel.reset();
    m_installmentModel.reset();
    m_buyerModel.reset();
    m_chequeModel.reset();
    m_accountModel.reset();
    m_expenseModel.reset();
    m_maintenanceModel.reset();
    m_paymentModel.reset();
    m_invoiceModel.reset();
    m_depositModel.reset();
    m_contractModel.reset();
    m_tenantModel.reset();
    m_unitModel.reset();
    m_propertyModel.reset();
    m_settingsManager.reset();
    m_backupManager.reset();
}

void AppBackend::publish(QQmlContext* context) const
{
    context->setContextProperty(QStringLiteral("database"), m_database);
    context->setContextProperty(QStringLiteral("backupManager"), m_backupManager.get());
    context->setContextProperty(QStringLiteral("settingsManager"), m_settingsManager.get());
    context->setContextProperty(QStringLiteral("propertyModel"), m_propertyModel.get());
    context->setContextProperty(QStringLiteral("unitModel"), m_unitModel.get());
    context->setContextProperty(QStringLiteral("tenantModel"), m_tenantModel.get());
    context->setContextProperty(QStringLiteral("contractModel"), m_contractModel.get());
    context->setContextProperty(QStringLiteral("depositModel"), m_depositModel.get());
    context->setContextProperty(QStringLiteral("invoiceModel"), m_invoiceModel.get());
    context->setContextProperty(QStringLiteral("paymentModel"), m_paymentModel.get());
    context->setContextProperty(QStringLiteral("maintenanceModel"), m_maintenanceModel.get());
    context->setContextProperty(QStringLiteral("expenseModel"), m_expenseModel.get());
    context->setContextProperty(QStringLiteral("accountModel"), m_accountModel.get());
    context->setContextProperty(QStringLiteral("chequeModel"), m_chequeModel.get());
    context->setContextProperty(QStringLiteral("buyerModel"), m_buyerModel.get());
    context->setContextProperty(QStringLiteral("installmentModel"), m_installmentModel.get());
    context->setContextProperty(QStringLiteral("currencyModel"), m_currencyModel.get());
    context->setContextProperty(QStringLiteral("dashboardCtrl"), m_dashboardController.get());
    context->setContextProperty(QStringLiteral("reportCtrl"), m_reportController.get());
    context->setContextProperty(QStringLiteral("authCtrl"), m_authController.get());
    context->setContextProperty(QStringLiteral("printCtrl"), m_printController.get());
    context->setContextProperty(QStringLiteral("notifyCtrl"), m_notificationController.get());
    context->setContextProperty(QStringLiteral("importCtrl"), m_importController.get());
    context->setContextProperty(QStringLiteral("auditMgr"), m_auditManager.get());
    context->setContextProperty(QStringLiteral("receiptCtrl"), m_receiptController.get());
    context->setContextProperty(QStringLiteral("reminderModel"), m_reminderModel.get());
    context->setContextProperty(QStringLiteral("meterReadingModel"), m_meterReadingModel.get());
}
