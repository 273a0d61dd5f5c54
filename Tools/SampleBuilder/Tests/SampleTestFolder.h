#pragma once

// A fresh temporary folder per test, helpers to write small source files into it, and a small
// rig shared by the skeleton, mesh and animation tests.
//
// The rig, in engine space (cm), from vertices 0..7:
//   0 (0, 0, 0)   1 (0, 0, 10)   2 (-2, 0, 30)   3 (2, 0, 30)
//   4 (0, 5, 20)  5 (0, 25, 20)  6 (10, 25, 20)  7 (0, 10, 10)
// root: 0 -> 1 (up, no plane); spine (child of root): 1 -> mean(2, 3), plane (1, mean(2, 3), 7);
// arm (child of root): 4 -> 5, plane (4, 5, 6); hand (child of arm): 5 -> 5, no length.
// The skeleton file lists them child first: hand, spine, arm, root.

#include "CoreMinimal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class SampleTestFolder : public ::testing::Test
{
protected:
	void SetUp() override
	{
		Root = std::filesystem::temp_directory_path() / ("SampleBuilderTest-" + std::to_string(std::random_device{}()));
		std::filesystem::create_directories(Root);
	}

	void TearDown() override { std::filesystem::remove_all(Root); }

	/** Writes Text to Name inside the folder and returns the file's path. */
	FString Write(const std::string& Name, const std::string& Text) const
	{
		std::ofstream(Root / Name, std::ios::binary) << Text;
		return Path(Name);
	}

	FString Path(const std::string& Name) const { return FString((Root / Name).string()); }

	static TArray<FVector3f> RigPositions()
	{
		return {FVector3f(0, 0, 0), FVector3f(0, 0, 10), FVector3f(-2, 0, 30), FVector3f(2, 0, 30), FVector3f(0, 5, 20), FVector3f(0, 25, 20),
			FVector3f(10, 25, 20), FVector3f(0, 10, 10)};
	}

	static std::string RigSkeletonJson()
	{
		return R"({"bones": {
			"hand": {"head": "hand_head", "tail": "hand_tail", "parent": "arm", "rotation_plane": null},
			"spine": {"head": "spine_head", "tail": "spine_tail", "parent": "root", "rotation_plane": "spine_plane"},
			"arm": {"head": "arm_head", "tail": "arm_tail", "parent": "root", "rotation_plane": "arm_plane"},
			"root": {"head": "root_head", "tail": "root_tail", "parent": null, "rotation_plane": null}},
			"joints": {"root_head": [0], "root_tail": [1], "spine_head": [1], "spine_tail": [2, 3], "arm_head": [4], "arm_tail": [5],
				"hand_head": [5], "hand_tail": [5], "elbow_side": [6], "back": [7]},
			"planes": {"arm_plane": ["arm_head", "arm_tail", "elbow_side"], "spine_plane": ["spine_head", "spine_tail", "back"]}})";
	}

	/** Vertex 1 is split 1:3 between spine and arm; 2 is all hand; 0, 3, 4 and 5 all root; 6 and 7 have none. */
	static std::string RigWeightsJson()
	{
		return R"({"weights": {"spine": [[1, 0.25]], "arm": [[1, 0.75]], "hand": [[2, 1.0]], "root": [[0, 1], [3, 1], [4, 1], [5, 1]]}})";
	}

	std::filesystem::path Root;
};
