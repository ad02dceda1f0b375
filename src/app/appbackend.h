#pragma once

#include <QString>
#include <memory>

class QQmlContext;
class Database;
class BackupManager;
class SettingsManager;
class PropertyModel;
class UnitModel;
class TenantModel;
class ContractModel;
class DepositModel;
class InvoiceModel;
class MeterReadingModel;
class ServerChoiceController;
class PaymentModel;
class MaintenanceModel;
class ExpenseModel;
class AccountModel;
class ChequeModel;
class BuyerModel;
class InstallmentModel;
class CurrencyModel;
class DashboardController;
class ReportController;
class AuthController;
class PrintController;
class NotificationController;
class ImportController;
class AuditManager;
class ReceiptController;
class ReminderModel;

/**
 * The back-end objects the interface works with, created in a fixed order on an initialized
 * database and destroyed in reverse order. The program, the interface tests and the screenshot
 * tool all publish the same objects through this class, so tests drive exactly what users run.
 */
class AppBackend
{
public:
    AppBackend(Database* database, const QString& dataDir);
    ~AppBackend();
    AppBackend(const AppBackend&) = delete;
    AppBackend& operator=(const AppBackend&) = delete;

    /** Sets the 24 context properties, `database` first, then the others in creation order. */
    void publish(QQmlContext* context) const;

    Database* database() const { return m_database; }
    BackupManager* backupManager() const { return m_backupManager.get(); }
    SettingsManager* settingsManager() const { return m_settingsManager.get(); }
    PropertyModel* propertyModel() const { return m_propertyModel.get(); }
    UnitModel* unitModel() const { return m_unitModel.get(); }
    TenantModel* tenantModel() const { return m_tenantModel.get(); }
    ContractModel* contractModel() const { return m_contractModel.get(); }
    DepositModel* depositModel() const { return m_depositModel.get(); }
    InvoiceModel* invoiceModel() const { return m_invoiceModel.get(); }
    MeterReadingModel* meterReadingModel() const { return m_meterReadingModel.get(); }
    ServerChoiceController* serverChoice() const { return m_serverChoice.get(); }
    PaymentModel* paymentModel() const { return m_paymentModel.get(); }
    MaintenanceModel* maintenanceModel() const { return m_maintenanceModel.get(); }
    ExpenseModel* expenseModel() const { return m_expenseModel.get(); }
    AccountModel* accountModel() const { return m_accountModel.get(); }
    ChequeModel* chequeModel() const { return m_chequeModel.get(); }
    BuyerModel* buyerModel() const { return m_buyerModel.get(); }
    InstallmentModel* installmentModel() const { return m_installmentModel.get(); }
    CurrencyModel* currencyModel() const { return m_currencyModel.get(); }
    DashboardController* dashboardController() const { return m_dashboardController.get(); }
    ReportController* reportController() const { return m_reportController.get(); }
    AuthController* authController() const { return m_authController.get(); }
    PrintController* printController() const { return m_printController.get(); }
    NotificationController* notificationController() const { return m_notificationController.get(); }
    ImportController* importController() const { return m_importController.get(); }
    AuditManager* auditManager() const { return m_auditManager.get(); }
    ReceiptController* receiptController() const { return m_receiptController.get(); }
    ReminderModel* reminderModel() const { return m_reminderModel.get(); }

private:
    // Declaration order is creation order; members are destroyed in reverse.
    Database* m_database;
    std::unique_ptr<BackupManager> m_backupManager;
    std::unique_ptr<SettingsManager> m_settingsManager;
    std::unique_ptr<PropertyModel> m_propertyModel;
    std::unique_ptr<UnitModel> m_unitModel;
    std::unique_ptr<TenantModel> m_tenantModel;
    std::unique_ptr<ContractModel> m_contractModel;
    std::unique_ptr<DepositModel> m_depositModel;
    std::unique_ptr<InvoiceModel> m_invoiceModel;
    std::unique_ptr<PaymentModel> m_paymentModel;
    std::unique_ptr<MaintenanceModel> m_maintenanceModel;
    std::unique_ptr<ExpenseModel> m_expenseModel;
    std::unique_ptr<AccountModel> m_accountModel;
    std::unique_ptr<ChequeModel> m_chequeModel;
    std::unique_ptr<BuyerModel> m_buyerModel;
    std::unique_ptr<InstallmentModel> m_installmentModel;
    std::unique_ptr<CurrencyModel> m_currencyModel;
    std::unique_ptr<DashboardController> m_dashboardController;
    std::unique_ptr<ReportController> m_reportController;
    std::unique_ptr<AuthController> m_authController;
    std::unique_ptr<PrintController> m_printController;
    std::unique_ptr<NotificationController> m_notificationController;
    std::unique_ptr<ImportController> m_importController;
    std::unique_ptr<AuditManager> m_auditManager;
    std::unique_ptr<ReceiptController> m_receiptController;
    std::unique_ptr<ReminderModel> m_reminderModel;
    std::unique_ptr<MeterReadingModel> m_meterReadingModel;
    std::unique_ptr<ServerChoiceController> m_serverChoice;
};
