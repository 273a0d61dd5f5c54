// The studio under load: eight clients move their own sliders ten thousand times in all and save
// as they go. Every call is answered, no move is lost, no saved state is torn, and the process
// does not grow once it has warmed up.

#include "StudioTestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <mutex>
#include <thread>

namespace
{
	constexpr int32 ClientCount = 8;
	constexpr int32 CallsPerClient = 1250;
	constexpr int32 CallsBetweenSaves = 125;
	constexpr int32 WarmUpCalls = 2000;

	/** A client's k-th move: its values only ever grow, so a state tells which move it shows. */
	double MoveValue(int32 K) { return static_cast<double>(K) / CallsPerClient; }

	/** Which move of a client a weight shows (0: none yet), or -1 for a value no move sent. */
	int32 MoveShown(double Weight)
	{
		const int32 K = static_cast<int32>(std::lround(Weight * CallsPerClient));
		const bool bSent = K >= 0 && K <= CallsPerClient && std::abs(Weight - static_cast<float>(MoveValue(K))) <= 1e-6;
		return bSent ? K : -1;
	}

	int64 ResidentBytes()
	{
		int64 Pages = 0;
		int64 Resident = 0;
		std::ifstream("/proc/self/statm") >> Pages >> Resident;
		return Resident * 4096;
	}

	struct FLoadSlider
	{
		std::string Path;
		std::string Driven;
		/** The shape a two-shape slider drives below 0: it must stay at 0 while the values grow. */
		std::string Opposite;
	};

	struct FSave
	{
		std::string Name;
		int32 Client = 0;
		int32 AfterMove = 0;
	};

	std::vector<FLoadSlider> LoadSliders(const nlohmann::json& Tree)
	{
		std::vector<FLoadSlider> Sliders;
		for (const nlohmann::json& Widget : ShapeSliders(Tree, ClientCount))
		{
			const nlohmann::json& Shapes = Widget["bound"]["shapes"];
			Sliders.push_back({Widget["path"], Shapes.back(), Widget["kind"] == "twoShapes" ? Shapes.front().get<std::string>() : ""});
		}
		return Sliders;
	}

	/** Checks that State shows, for every slider, one of its client's moves; that client's move index per slider. */
	std::vector<int32> CheckNotTorn(const nlohmann::json& State, const std::vector<FLoadSlider>& Sliders, const std::string& What)
	{
		std::vector<int32> Shown;
		for (const FLoadSlider& Slider : Sliders)
		{
			const double Weight = State["morphWeights"].value(Slider.Driven, 0.0);
			Shown.push_back(MoveShown(Weight));
			EXPECT_NE(Shown.back(), -1) << What << ": " << Slider.Driven << " is " << Weight << ", which no move sent";
			if (!Slider.Opposite.empty())
			{
				EXPECT_EQ(State["morphWeights"].value(Slider.Opposite, 0.0), 0.0) << What << ": " << Slider.Opposite;
			}
		}
		return Shown;
	}
}

TEST(StudioLoad, TenThousandCallsFromEightClientsWithSavesLoseAndTearNothing)
{
	FStudioTestServer Studio;
	ASSERT_TRUE(Studio.Server);
	ASSERT_FALSE(Studio.EditFirstCharacter().is_null());
	const std::vector<FLoadSlider> Sliders = LoadSliders(Studio.Json(Studio.Get("/api/editor")));
	ASSERT_EQ(Sliders.size(), static_cast<size_t>(ClientCount));

	std::atomic<int32> Calls{0};
	std::atomic<int32> Failures{0};
	std::atomic<int64> WarmResident{0};
	std::mutex SavesLock;
	std::vector<FSave> Saves;
	Studio.Send(
		[&](httplib::Client& Waiter)
		{
			std::vector<std::thread> Clients;
			for (int32 Index = 0; Index < ClientCount; ++Index)
			{
				Clients.emplace_back(
					[&, Index]
					{
						httplib::Client Client("127.0.0.1", Studio.Server->GetPort());
						for (int32 Move = 1; Move <= CallsPerClient; ++Move)
						{
							const httplib::Result Answer = Client.Post(
								"/api/call", CallBody(Sliders[Index].Path, "OnChanged", {{"v", MoveValue(Move)}}), "application/json");
							Failures += !Answer || Answer->status != 200;
							if (++Calls == WarmUpCalls)
							{
								WarmResident = ResidentBytes();
							}
							if (Move % CallsBetweenSaves == 0)
							{
								const FSave Save{"Client " + std::to_string(Index) + " move " + std::to_string(Move), Index, Move};
								const httplib::Result Saved = Client.Post("/api/save", nlohmann::json{{"name", Save.Name}}.dump(), "application/json");
								Failures += !Saved || Saved->status != 200;
								const std::lock_guard Lock(SavesLock);
								Saves.push_back(Save);
							}
						}
					});
			}
			for (std::thread& Client : Clients)
			{
				Client.join();
			}
			return Waiter.Get("/api/characters");
		});
	[[maybe_unused]] const int64 EndResident = ResidentBytes();
	EXPECT_EQ(Failures, 0);
	ASSERT_EQ(Saves.size(), static_cast<size_t>(ClientCount * CallsPerClient / CallsBetweenSaves));

	// Every client's last move is what the character shows.
	const auto ShowsEveryLastMove = [&](const nlohmann::json& Live)
	{
		return std::all_of(Sliders.begin(), Sliders.end(), [&](const FLoadSlider& Slider)
			{ return Live["morphWeights"].value(Slider.Driven, 0.0) == static_cast<float>(MoveValue(CallsPerClient)); });
	};
	const std::vector<int32> Final = CheckNotTorn(Studio.WaitForState(ShowsEveryLastMove), Sliders, "the final state");
	EXPECT_EQ(Final, std::vector<int32>(ClientCount, CallsPerClient));

	// Each save shows its own client's move that preceded it, or a later one, and some move of
	// every other client: a state some prefix of the calls produced.
	for (const FSave& Save : Saves)
	{
		const int64 Before = Studio.StateAfter(-1)["version"].get<int64>();
		ASSERT_EQ(Studio.Json(Studio.Post("/api/load", nlohmann::json{{"name", Save.Name}}.dump()))["loaded"], Save.Name);
		const std::vector<int32> Shown = CheckNotTorn(Studio.StateAfter(Before), Sliders, Save.Name);
		EXPECT_GE(Shown[Save.Client], Save.AfterMove) << Save.Name << " lost its client's moves";
	}

#if !defined(__SANITIZE_ADDRESS__)
	// The sanitizer's quarantine holds freed memory back, so only a plain build measures growth.
	EXPECT_LT(EndResident - WarmResident, int64{16} << 20) << "resident memory grew from " << (WarmResident >> 20) << " MiB to "
														   << (EndResident >> 20) << " MiB after the warm-up";
#endif
}
