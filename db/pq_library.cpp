#include "pq_library.h"

#include "errors.h"

#include <dlfcn.h>

#include <map>
#include <memory>

namespace db {

const std::vector<std::string>& defaultPqLibraryNames()
{
    static const std::vector<std::string> names{"libpq.so.5", "libpq.so"};
    return names;
}

namespace {

template <typename F>
bool resolve(void* handle, const char* symbol, F& slot)
{
    slot = reinterpret_cast<F>(dlsym(handle, symbol));
    return slot != nullptr;
}

bool resolveAll(void* h, PqApi& a)
{
    return resolve(h, "PQconnectdbParams", a.connectdbParams) && resolve(h, "PQstatus", a.status)
        && resolve(h, "PQerrorMessage", a.errorMessage) && resolve(h, "PQfinish", a.finish)
        && resolve(h, "PQexec", a.exec) && resolve(h, "PQresultStatus", a.resultStatus)
        && resolve(h, "PQresultErrorMessage", a.resultErrorMessage) && resolve(h, "PQclear", a.clear)
        && resolve(h, "PQntuples", a.ntuples) && resolve(h, "PQnfields", a.nfields)
        && resolve(h, "PQfname", a.fname) && resolve(h, "PQftype", a.ftype)
        && resolve(h, "PQgetvalue", a.getvalue) && resolve(h, "PQgetisnull", a.getisnull)
        && resolve(h, "PQgetlength", a.getlength) && resolve(h, "PQserverVersion", a.serverVersion)
        && resolve(h, "PQparameterStatus", a.parameterStatus)
        && resolve(h, "PQsetNoticeProcessor", a.setNoticeProcessor)
        && resolve(h, "PQenterPipelineMode", a.enterPipelineMode)
        && resolve(h, "PQexitPipelineMode", a.exitPipelineMode)
        && resolve(h, "PQpipelineSync", a.pipelineSync)
        && resolve(h, "PQsendQueryParams", a.sendQueryParams) && resolve(h, "PQgetResult", a.getResult)
        && resolve(h, "PQflush", a.flush);
}

}  // namespace

const PqApi& loadPqLibrary(const std::vector<std::string>& names)
{
    // One table per file name; never unloaded, results and links may outlive any caller.
    static std::map<std::string, std::unique_ptr<PqApi>> loaded;
    for (const auto& name : names) {
        if (auto it = loaded.find(name); it != loaded.end())
            return *it->second;
        void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            continue;
        auto api = std::make_unique<PqApi>();
        if (!resolveAll(handle, *api)) {
            dlclose(handle);
            continue;
        }
        return *loaded.emplace(name, std::move(api)).first->second;
    }
    std::string list;
    for (const auto& name : names)
        list += (list.empty() ? "" : ", ") + name;
    throw DbError("None of the dynamic libraries can be found: " + list);
}

}  // namespace db
