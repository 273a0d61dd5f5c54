#pragma once

// The console report of a benchmark program, plus the ratios of its benchmarks to a peer
// measured in the same run: each program names its peer and the benchmarks to compare.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

class FBenchmarkRatioReporter : public benchmark::ConsoleReporter
{
public:
	/** Colours only on a terminal, so that saved output reads as plain text. */
	FBenchmarkRatioReporter()
		: ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular)
	{
	}

	void ReportRuns(const std::vector<Run>& Runs) override
	{
		for (const Run& Each : Runs)
		{
			if (Each.run_type == Run::RT_Iteration && !Each.error_occurred && Each.iterations > 0)
			{
				const double Iterations = static_cast<double>(Each.iterations);
				Times[Each.run_name.function_name] = {Each.real_accumulated_time / Iterations, Each.cpu_accumulated_time / Iterations};
			}
		}
		ConsoleReporter::ReportRuns(Runs);
	}

	/**
	 * Prints Name / Peer for each name that ran. Wall-clock ratios are what a user waits;
	 * processor-time ratios stay steady on a busy machine.
	 */
	void PrintRatios(const char* Peer, const std::vector<const char*>& Names) const
	{
		const auto PeerTimes = Times.find(Peer);
		if (PeerTimes == Times.end())
		{
			return;
		}
		for (const char* Name : Names)
		{
			if (const auto Found = Times.find(Name); Found != Times.end())
			{
				std::printf("%s / %s: %.2f (wall clock), %.2f (processor time)\n", Name, Peer, Found->second.first / PeerTimes->second.first,
					Found->second.second / PeerTimes->second.second);
			}
		}
	}

	/** The wall-clock seconds per iteration of the benchmark Name, or a negative number when it did not run. */
	double WallSeconds(const std::string& Name) const
	{
		const auto Found = Times.find(Name);
		return Found == Times.end() ? -1.0 : Found->second.first;
	}

private:
	/** Seconds per iteration, wall clock and processor time, by benchmark. */
	std::map<std::string, std::pair<double, double>> Times;
};
