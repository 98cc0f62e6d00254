// Demo MARLO folders for the tests. The demo tool takes about half a second a folder (a new
// database filled through isql), and the same race day always gives the same database, so each
// day's folder is built once per build folder and copied from then on.
#pragma once

#include <string>

namespace plxtest {

// Makes `folder` what `tools/marlo-demo folder --date date` makes (`date` "YYYYMMDD"; empty for
// today): MARLO.INI and DB/MLDB.FDB, each put in place whole. Returns the folder with its
// trailing "/". Throws std::runtime_error when the tool fails.
std::string MakeDemoMarlo(const std::string& folder, const std::string& date = "");

}  // namespace plxtest
