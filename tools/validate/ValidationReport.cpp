#include "tools/validate/ValidationReport.h"

#include <algorithm>
#include <cstdio>
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

std::string JsonString(const std::string& text)
{
	std::string json = "\"";
	for (unsigned char c : text)
	{
		if (c == '"' || c == '\\')
		{
			json += '\\';
			json += static_cast<char>(c);
		}
		else if (c < 0x20 || c == 0x7F)
		{
			char escaped[7];
			std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
			json += escaped;
		}
		else
			json += static_cast<char>(c);
	}
	return json + "\"";
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
	out << "{\n  \"module\": " << JsonString(path) << ",\n  \"checks\": [";
	for (std::size_t i = 0; i < results.size(); ++i)
		out << (i == 0 ? "\n" : ",\n") << "    {\"check\": " << JsonString(results[i].check) << ", \"status\": \""
			<< StatusText(results[i].status) << "\", \"detail\": " << JsonString(results[i].detail) << "}";
	out << "\n  ],\n  \"summary\": {\"pass\": " << pass << ", \"warn\": " << warn << ", \"fail\": " << fail
		<< "},\n  \"result\": \"" << ResultText(GetResult()) << "\"\n}" << std::endl;
}

} // namespace ffgltool::validate
