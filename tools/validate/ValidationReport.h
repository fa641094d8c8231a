// ValidationReport: the outcome of `ffgl-host validate`, one record per check,
// and its one printer, as text or as JSON.
//
// A check collects its problems in Findings; the first failure (or, without
// one, the first warning) becomes the record's detail, with a count of the
// others. In text mode each record is printed, and flushed, as it is added, so
// that a crash in a later check keeps what came before; Finish prints the
// summary line. In JSON mode nothing is printed before Finish, which writes
// {"module", "checks": [{"check", "status", "detail"}], "summary": {"pass",
// "warn", "fail"}, "result"}. The result, in both modes, is "FAIL" when a
// check failed, else "INCOMPLETE" when checks could not run for want of
// something outside the module (a GL context), else "PASS".
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ffgltool::validate
{

enum class Status
{
	Pass,
	Warn,
	Fail
};

// The problems one check found.
class Findings
{
public:
	void Fail(const std::string& problem) { fails.push_back(problem); }
	void Warn(const std::string& problem) { warns.push_back(problem); }
	bool Failed() const { return !fails.empty(); }

	Status GetStatus() const;
	// The first failure, else the first warning, with "(and N more problems)";
	// passDetail when there is neither.
	std::string Detail(const std::string& passDetail) const;

private:
	std::vector<std::string> fails;
	std::vector<std::string> warns;
};

enum class Result
{
	Pass,
	Incomplete,
	Fail
};

struct CheckResult
{
	std::string check;
	Status status;
	std::string detail;
};

class ValidationReport
{
public:
	ValidationReport(std::ostream& out, bool json) : out(out), json(json) {}

	void Add(const std::string& check, Status status, const std::string& detail);
	void Add(const std::string& check, const Findings& findings, const std::string& passDetail);
	// A warning that checks could not run, for a reason outside the module:
	// the result is then Incomplete unless a check failed.
	void AddNotRun(const std::string& check, const std::string& detail);
	int Count(Status status) const;
	Result GetResult() const;
	// The summary line, or the whole JSON object, for the module at path.
	void Finish(const std::string& path) const;

private:
	std::ostream& out;
	bool json;
	std::vector<CheckResult> results;
	bool incomplete = false;
};

} // namespace ffgltool::validate
