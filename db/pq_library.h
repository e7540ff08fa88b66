#pragma once
// The PostgreSQL client library, loaded at run time so the tool starts on a
// machine without it. Only the types come from libpq's header.
#include <libpq-fe.h>

#include <string>
#include <vector>

namespace db {

struct PqApi {
    decltype(&::PQconnectdbParams) connectdbParams;
    decltype(&::PQstatus) status;
    decltype(&::PQerrorMessage) errorMessage;
    decltype(&::PQfinish) finish;
    decltype(&::PQexec) exec;
    decltype(&::PQresultStatus) resultStatus;
    decltype(&::PQresultErrorMessage) resultErrorMessage;
    decltype(&::PQclear) clear;
    decltype(&::PQntuples) ntuples;
    decltype(&::PQnfields) nfields;
    decltype(&::PQfname) fname;
    decltype(&::PQftype) ftype;
    decltype(&::PQgetvalue) getvalue;
    decltype(&::PQgetisnull) getisnull;
    decltype(&::PQgetlength) getlength;
    decltype(&::PQserverVersion) serverVersion;
    decltype(&::PQparameterStatus) parameterStatus;
    decltype(&::PQsetNoticeProcessor) setNoticeProcessor;
    decltype(&::PQenterPipelineMode) enterPipelineMode;
    decltype(&::PQexitPipelineMode) exitPipelineMode;
    decltype(&::PQpipelineSync) pipelineSync;
    decltype(&::PQsendQueryParams) sendQueryParams;
    decltype(&::PQgetResult) getResult;
    decltype(&::PQflush) flush;
};

// File names tried, in order, for the PostgreSQL client.
const std::vector<std::string>& defaultPqLibraryNames();

// Loads the first of `names` that opens and has every entry point; the table
// stays valid for the life of the process. Throws DbError
// "None of the dynamic libraries can be found: a, b".
const PqApi& loadPqLibrary(const std::vector<std::string>& names);

}  // namespace db
