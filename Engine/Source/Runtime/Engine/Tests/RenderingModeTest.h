#pragma once

// The fixture of GPU tests that run once with a render thread and once with commands run
// inline, and must leave the validation layer silent. Instantiate a suite with
//   INSTANTIATE_TEST_SUITE_P(RenderingModes, Suite, ::testing::Values(true, false), FRenderingModeTest::ModeName);

#include "CoreTypes.h"
#include "RHI.h"
#include "RenderingThread.h"

#include <gtest/gtest.h>

#include <string>

class FRenderingModeTest : public ::testing::TestWithParam<bool>
{
public:
	/** Names the two instances of each test "Threaded" and "Inline". */
	static std::string ModeName(const ::testing::TestParamInfo<bool>& Info)
	{
		return Info.param ? "Threaded" : "Inline";
	}

protected:
	void SetUp() override
	{
		SetRenderingThreaded(GetParam());
		ValidationErrorsBefore = GetRHIValidationErrorCount();
	}

	void TearDown() override
	{
		FlushRenderingCommands();
		SetRenderingThreaded(true);
		EXPECT_EQ(GetRHIValidationErrorCount(), ValidationErrorsBefore);
	}

private:
	int32 ValidationErrorsBefore = 0;
};
