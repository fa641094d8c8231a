#include "tools/validate/ValidationReport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace ffgltool::validate
{
namespace
{

const char* StatusText(Status status)
{
	switch (status)
	{
	case Status::Pass:
		return "PASS";
	case Status::Warn:
		return "WARN";
	case Status::Fail:
		return "FAIL";
	}
	return "?";
}

const char* ResultText(Result result)
{
	return result == Result::Pass ? "PASS" : result == Result::Incomplete ? "INCOMPLETE" : "FAIL";
}

} // namespace

Status Findings::GetStatus() const
{
	return !fails.empty() ? Status::Fail : !warns.empty() ? Status::Warn : Status::Pass;
}

std::string Findings::Detail(const std::string& passDetail) const
{
	const std::vector<std::string>& list = !fails.empty() ? fails : warns;
	if (list.empty())
		return passDetail;
	std::string detail = list.front();
	const std::size_t others = fails.size() + warns.size() - 1;
	if (others > 0)
		detail += " (and " + std::to_string(others) + " more problem" + (others == 1 ? "" : "s") + ")";
	return detail;
}

void ValidationReport::Add(const std::string& check, Status status, const std::string& detail)
{
	results.push_back({ check, status, detail });
	if (!json)
	{
		std::string name = check;
		name.resize(std::max<std::size_t>(name.size(), 22), ' ');
		out << StatusText(status) << "  " << name << "  " << detail << std::endl;
	}
}

void ValidationReport::Add(const std::string& check, const Findings& findings, const std::string& passDetail)
{
	Add(check, findings.GetStatus(), findings.Detail(passDetail));
}

void ValidationReport::AddNotRun(const std::string& check, const std::string& detail)
{
	incomplete = true;
	Add(check, Status::Warn, detail);
}

Result ValidationReport::GetResult() const
{
	return Count(Status::Fail) > 0 ? Result::Fail : incomplete ? Result::Incomplete : Result::Pass;
}

int ValidationReport::Count(Status status) const
{
	return static_cast<int>(
		std::count_if(results.begin(), results.end(), [status](const CheckResult& r) { return r.status == status; }));
}

void ValidationReport::Finish(const std::string& path) const
{
	const int pass = Count(Status::Pass);
	const int warn = Count(Status::Warn);
	const int fail = Count(Status::Fail);
	if (!json)
	{
		out << "\n"
			<< path << ": " << pass << " passed, " << warn << " warning" << (warn == 1 ? "" : "s") << ", " << fail
			<< " failed: " << ResultText(GetResult()) << std::endl;
		return;
	}
	nlohmann::ordered_json checks = nlohmann::ordered_json::array();
	for (const CheckResult& result : results)
		checks.push_back(
			{ { "check", result.check }, { "status", StatusText(result.status) }, { "detail", result.detail } });
	const nlohmann::ordered_json report = { { "module", path }, { "checks", checks },
		{ "summary", { { "pass", pass }, { "warn", warn }, { "fail", fail } } },
		{ "result", ResultText(GetResult()) } };
	// A module's texts are whatever bytes it returned: bytes that are not
	// UTF-8 become U+FFFD, so that the report stays JSON.
	out << report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << std::endl;
}

} // namespace ffgltool::validate
