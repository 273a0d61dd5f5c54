#pragma once

// The memory-bandwidth peer of the GPU benchmarks: memcpy of one image's bytes between two
// CPU buffers, the floor of any path that moves those bytes through memory.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

/** Registers "Memcpy64MiB"-style benchmark Name copying Bytes per iteration; reports the read plus write bandwidth. */
inline void RegisterMemcpyPeer(const char* Name, int64_t Bytes)
{
	benchmark::RegisterBenchmark(Name, [Bytes](benchmark::State& State) {
		// Touched before timing: fresh pages would add the kernel's page faults to the copy.
		std::vector<uint8_t> Source(Bytes, 1);
		std::vector<uint8_t> Target(Bytes, 2);
		for (auto _ : State)
		{
			std::memcpy(Target.data(), Source.data(), Source.size());
			benchmark::ClobberMemory();
		}
		State.SetBytesProcessed(State.iterations() * Bytes);
		State.counters["BandwidthGBps"] = benchmark::Counter(double(State.iterations()) * 2.0 * double(Bytes) / 1e9, benchmark::Counter::kIsRate);
	})->Unit(benchmark::kMillisecond)->UseRealTime();
}
