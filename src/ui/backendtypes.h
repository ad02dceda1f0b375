#pragma once

// The back-end classes as QML types of the interface module, so the interface files are typed:
// qmllint and the QML compiler see every property, signal and method the pages use. The objects
// themselves are made by AppBackend; QML never creates one.

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
#include "refusable.h"
#include "remindermodel.h"
#include "reportcontroller.h"
#include "serverchoicecontroller.h"
#include "settingsmanager.h"
#include "tenantmodel.h"
#include "unitmodel.h"

#include <QQmlEngine>

// The base of the objects that tell why they refused: its `lastError` is seen on each of them.
struct RefusableType
{
    Q_GADGET
    QML_FOREIGN(Refusable)
    QML_ANONYMOUS
};

struct DatabaseType
{
    Q_GADGET
    QML_FOREIGN(Database)
    QML_NAMED_ELEMENT(Database)
    QML_UNCREATABLE("made by the program at start-up")
};

struct BackupManagerType
{
    Q_GADGET
    QML_FOREIGN(BackupManager)
    QML_NAMED_ELEMENT(BackupManager)
    QML_UNCREATABLE("made by the program at start-up")
};

struct SettingsManagerType
{
    Q_GADGET
    QML_FOREIGN(SettingsManager)
    QML_NAMED_ELEMENT(SettingsManager)
    QML_UNCREATABLE("made by the program at start-up")
};

struct PropertyModelType
{
    Q_GADGET
    QML_FOREIGN(PropertyModel)
    QML_NAMED_ELEMENT(PropertyModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct UnitModelType
{
    Q_GADGET
    QML_FOREIGN(UnitModel)
    QML_NAMED_ELEMENT(UnitModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct TenantModelType
{
    Q_GADGET
    QML_FOREIGN(TenantModel)
    QML_NAMED_ELEMENT(TenantModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ContractModelType
{
    Q_GADGET
    QML_FOREIGN(ContractModel)
    QML_NAMED_ELEMENT(ContractModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct DepositModelType
{
    Q_GADGET
    QML_FOREIGN(DepositModel)
    QML_NAMED_ELEMENT(DepositModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct InvoiceModelType
{
    Q_GADGET
    QML_FOREIGN(InvoiceModel)
    QML_NAMED_ELEMENT(InvoiceModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct MeterReadingModelType
{
    Q_GADGET
    QML_FOREIGN(MeterReadingModel)
    QML_NAMED_ELEMENT(MeterReadingModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ServerChoiceControllerType
{
    Q_GADGET
    QML_FOREIGN(ServerChoiceController)
    QML_NAMED_ELEMENT(ServerChoiceController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct PaymentModelType
{
    Q_GADGET
    QML_FOREIGN(PaymentModel)
    QML_NAMED_ELEMENT(PaymentModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct MaintenanceModelType
{
    Q_GADGET
    QML_FOREIGN(MaintenanceModel)
    QML_NAMED_ELEMENT(MaintenanceModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ExpenseModelType
{
    Q_GADGET
    QML_FOREIGN(ExpenseModel)
    QML_NAMED_ELEMENT(ExpenseModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct AccountModelType
{
    Q_GADGET
    QML_FOREIGN(AccountModel)
    QML_NAMED_ELEMENT(AccountModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ChequeModelType
{
    Q_GADGET
    QML_FOREIGN(ChequeModel)
    QML_NAMED_ELEMENT(ChequeModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct BuyerModelType
{
    Q_GADGET
    QML_FOREIGN(BuyerModel)
    QML_NAMED_ELEMENT(BuyerModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct InstallmentModelType
{
    Q_GADGET
    QML_FOREIGN(InstallmentModel)
    QML_NAMED_ELEMENT(InstallmentModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct CurrencyModelType
{
    Q_GADGET
    QML_FOREIGN(CurrencyModel)
    QML_NAMED_ELEMENT(CurrencyModel)
    QML_UNCREATABLE("made by the program at start-up")
};

struct DashboardControllerType
{
    Q_GADGET
    QML_FOREIGN(DashboardController)
    QML_NAMED_ELEMENT(DashboardController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ReportControllerType
{
    Q_GADGET
    QML_FOREIGN(ReportController)
    QML_NAMED_ELEMENT(ReportController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct AuthControllerType
{
    Q_GADGET
    QML_FOREIGN(AuthController)
    QML_NAMED_ELEMENT(AuthController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct PrintControllerType
{
    Q_GADGET
    QML_FOREIGN(PrintController)
    QML_NAMED_ELEMENT(PrintController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct NotificationControllerType
{
    Q_GADGET
    QML_FOREIGN(NotificationController)
    QML_NAMED_ELEMENT(NotificationController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ImportControllerType
{
    Q_GADGET
    QML_FOREIGN(ImportController)
    QML_NAMED_ELEMENT(ImportController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct AuditManagerType
{
    Q_GADGET
    QML_FOREIGN(AuditManager)
    QML_NAMED_ELEMENT(AuditManager)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ReceiptControllerType
{
    Q_GADGET
    QML_FOREIGN(ReceiptController)
    QML_NAMED_ELEMENT(ReceiptController)
    QML_UNCREATABLE("made by the program at start-up")
};

struct ReminderModelType
{
    Q_GADGET
    QML_FOREIGN(ReminderModel)
    QML_NAMED_ELEMENT(ReminderModel)
    QML_UNCREATABLE("made by the program at start-up")
};
