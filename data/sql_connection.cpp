// The connection: driver loading, parameter mapping, connect and close.
#include "data/sql_connection.h"

#include <dlfcn.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "common/exe_path.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/sql_query.h"
#include "driver/sqldriver.h"

namespace plx {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool IsTrue(const std::string& value) {
    return SameName(TrimBlanks(value), "TRUE");
}

std::intptr_t IsolationLevel(const std::string& value) {
    const std::string level = TrimBlanks(value);
    if (SameName(level, "repeatableread")) return 1;
    if (SameName(level, "dirtyread")) return 2;
    return 0;  // "ReadCommited" and anything else
}

// The folders searched for the driver before its plain name: the program folder, then the
// folder of the running executable (the same in the program; tests may point the first elsewhere).
std::vector<std::string> DriverFolders() {
    std::vector<std::string> folders;
    if (!Program().exeFolder.empty()) folders.push_back(Program().exeFolder);
    std::string own = ExeFolderOfProcess();
    if (std::find(folders.begin(), folders.end(), own) == folders.end()) folders.push_back(own);
    return folders;
}

std::string CodeText(ResultCode code) {
    return std::to_string(code);
}

}  // namespace

SqlConnection::SqlConnection()
    : params_{
          {"BlobSize", "-1"},       {"CommitRetain", "False"},
          {"Database", "MLDB.FDB"},  // replaced by start-up with the located database file
          {"DriverName", "Basalt"}, {"ErrorResourceFile", ""},
          {"LocaleCode", "0000"},   {"Password", "fjordlamp"},
          {"RoleName", "RoleName"}, {"ServerCharSet", ""},
          {"SQLDialect", "3"},      {"Basalt TransIsolation", "ReadCommited"},
          {"User_Name", "sysdba"},  {"WaitOnLocks", "True"},
      } {}

SqlConnection::~SqlConnection() {
    Close();
}

std::string SqlConnection::Param(const std::string& name) const {
    for (const auto& [key, value] : params_)
        if (SameName(key, name)) return value;
    return {};
}

void SqlConnection::SetParam(const std::string& name, const std::string& value) {
    for (auto& [key, current] : params_) {
        if (SameName(key, name)) {
            current = value;
            return;
        }
    }
    params_.emplace_back(name, value);
}

void SqlConnection::Attach(SqlQuery* query) {
    queries_.push_back(query);
}

void SqlConnection::Detach(SqlQuery* query) {
    std::erase(queries_, query);
}

std::string SqlConnection::ErrorText() const {
    return DriverErrorText(connection_);
}

bool SqlConnection::LoadDriver(std::string* error) {
    // A copy found in one of the folders is the one loaded, even when it then fails to load;
    // only when none holds it is the plain name left to the loader's search.
    std::string path = LibraryName;
    for (const std::string& folder : DriverFolders()) {
        if (::access((folder + LibraryName).c_str(), F_OK) != 0) continue;
        path = folder + LibraryName;
        break;
    }
    library_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        *error = SJ("ドライバを読み込めません。") + "\n" + ::dlerror();
        return false;
    }
    auto entry = reinterpret_cast<GetSqlDriverFunction>(::dlsym(library_, GetDriverFunc.c_str()));
    if (!entry) {
        *error = SJ("ドライバの入口が見つかりません。") + "\n" + LibraryName + ": " + GetDriverFunc;
        return false;
    }
    const std::string resourceFile = Param("ErrorResourceFile");
    ResultCode rc = entry(VendorLib.c_str(), resourceFile.c_str(), &driver_);
    if (rc != kResultOk || !driver_) {
        *error = SJ("クライアントライブラリを読み込めません。") + "\n" + VendorLib + " (" + CodeText(rc) + ")";
        return false;
    }
    driver_->setOption(kDriverOptionIgnored, 0);
    return true;
}

bool SqlConnection::ApplyOptions(std::string* error) {
    // The driver answers these three with "not supported"; they are offered all the same.
    connection_->setOption(kConnOptionAutoCommit, 1);
    connection_->setOption(kConnOptionBlockingMode, 1);
    connection_->setOption(kConnOptionHostName, reinterpret_cast<std::intptr_t>(""));

    const std::string blobSize = TrimBlanks(Param("BlobSize"));
    const std::string role = TrimBlanks(Param("RoleName"));
    const std::string charSet = TrimBlanks(Param("ServerCharSet"));
    struct Option {
        std::uint32_t number;
        std::intptr_t value;
        const char* name;
    };
    std::vector<Option> options = {
        {kConnOptionBlobSize, blobSize.empty() ? -1 : static_cast<std::intptr_t>(TextToInt(blobSize)), "BlobSize"},
        {kConnOptionRoleName, reinterpret_cast<std::intptr_t>(role.c_str()), "RoleName"},
        {kConnOptionWaitOnLocks, IsTrue(Param("WaitOnLocks")) ? 1 : 0, "WaitOnLocks"},
        {kConnOptionCommitRetain, IsTrue(Param("CommitRetain")) ? 1 : 0, "CommitRetain"},
        {kConnOptionIsolation, IsolationLevel(Param("Basalt TransIsolation")), "Basalt TransIsolation"},
        {kConnOptionDialect, static_cast<std::intptr_t>(TextToInt(TrimBlanks(Param("SQLDialect")))), "SQLDialect"},
    };
    if (!charSet.empty())
        options.push_back(
            {kConnOptionServerCharSet, reinterpret_cast<std::intptr_t>(charSet.c_str()), "ServerCharSet"});
    for (const Option& option : options) {
        ResultCode rc = connection_->setOption(option.number, option.value);
        if (rc != kResultOk) {
            std::string detail = DriverErrorText(connection_);
            *error = SJ("接続パラメータが受け付けられません。") + "\n" + option.name + "=" + Param(option.name) + " (" +
                     CodeText(rc) + ")" + (detail.empty() ? "" : "\n" + detail);
            return false;
        }
    }
    return true;
}

bool SqlConnection::Open(std::string* error) {
    std::string scratch;
    if (!error) error = &scratch;
    if (Connected()) return true;
    if (!LoadDriver(error)) {
        Unload();
        return false;
    }
    ResultCode rc = driver_->createConnection(&connection_);
    if (rc != kResultOk || !connection_) {
        *error = SJ("データベース接続を作成できません。") + " (" + CodeText(rc) + ")";
        Unload();
        return false;
    }
    if (!ApplyOptions(error)) {
        Unload();
        return false;
    }
    const std::string database = Param("Database");
    const std::string user = Param("User_Name");
    const std::string password = Param("Password");
    rc = connection_->connect(database.c_str(), user.c_str(), password.c_str());
    if (rc != kResultOk) {
        std::string detail = DriverErrorText(connection_);
        *error = detail.empty() ? SJ("データベースに接続できません。") + "\n" + database + " (" + CodeText(rc) + ")"
                                : detail;
        // A failed connect may still have attached (for example an isolation level found bad
        // only after the attach), so the connection is detached before it is released.
        connection_->disconnect();
        Unload();
        return false;
    }
    return true;
}

void SqlConnection::Close() {
    for (SqlQuery* query : queries_) query->Close();
    if (connection_) connection_->disconnect();
    Unload();
}

void SqlConnection::Unload() {
    if (connection_) connection_->Release();
    connection_ = nullptr;
    if (driver_) driver_->Release();
    driver_ = nullptr;
    if (library_) ::dlclose(library_);
    library_ = nullptr;
}

}  // namespace plx
