#pragma once

// The test program's environment and the fixture of its GPU tests.
//
// Before the first test the environment writes the test shaders into a fresh temporary folder
// mapped at "/RenderCoreTest", prepares (without mapping) the folder of "/RenderCoreTestLate",
// points VORPEX_SHADER_CACHE at a fresh cache folder, so the process's shader compiler starts
// with an empty cache, and turns the validation layer on.

#include "Containers/Array.h"
#include "Math/Color.h"
#include "Misc/AssertionMacros.h"
#include "RHI.h"
#include "RHICommandList.h"
#include "RenderTestHelpers.h"
#include "RenderingThread.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace RenderCoreTest
{
	/** The real folder of "/RenderCoreTest". */
	const std::filesystem::path& GetShaderFolder();
	/** The real folder meant for "/RenderCoreTestLate", holding LateShaderFile. */
	const std::filesystem::path& GetLateShaderFolder();

	/** The check message a call fails with, or "no failure". */
	template <typename FunctionType>
	std::string CheckMessageOf(FunctionType&& Function)
	{
		try
		{
			Function();
		}
		catch (const FCheckFailure& Failure)
		{
			return Failure.GetMessage();
		}
		return "no failure";
	}
}

/** Rendering threaded, no failure left pending, and no validation error reported while a test runs. */
class FRenderGraphTest : public RenderingTest
{
protected:
	void SetUp() override
	{
		RenderingTest::SetUp();
		ValidationErrorsBefore = ValidationErrorCount();
	}

	void TearDown() override
	{
		EXPECT_EQ(ValidationErrorCount(), ValidationErrorsBefore) << "the validation layer reported errors (see the LogRHI lines)";
		RenderingTest::TearDown();
	}

	/** Runs Body as a render command and waits for it; a failure inside is raised here. */
	template <typename BodyType>
	static void Render(BodyType&& Body)
	{
		ENQUEUE_RENDER_COMMAND(RenderCoreTestCommand)(std::forward<BodyType>(Body));
		FlushRenderingCommands();
	}

	static int32 ValidationErrorCount()
	{
		int32 Count = 0;
		Render([&Count](FRHICommandListImmediate&) { Count = GetRHIValidationErrorCount(); });
		return Count;
	}

	/** A texture made on the render thread. */
	static FTextureRHIRef MakeTexture(const TCHAR* Name, FIntPoint Extent, ETextureCreateFlags Flags,
		const FClearValueBinding& ClearValue = FClearValueBinding::None)
	{
		FTextureRHIRef Texture;
		Render([&](FRHICommandListImmediate& RHICmdList) {
			Texture = RHICmdList.CreateTexture(FRHITextureCreateDesc::Create2D(Name, Extent, PF_B8G8R8A8).SetFlags(Flags).SetClearValue(ClearValue));
		});
		return Texture;
	}

	/** Every texel of a B8G8R8A8 texture, row by row. */
	static TArray<FColor> ReadTexels(FRHITexture* Texture)
	{
		TArray<uint8> Bytes;
		Render([&](FRHICommandListImmediate& RHICmdList) { RHICmdList.ReadTexture(Texture, Bytes); });
		TArray<FColor> Texels;
		Texels.SetNum(Bytes.Num() / 4);
		std::memcpy(Texels.GetData(), Bytes.GetData(), size_t(Texels.Num()) * 4);
		return Texels;
	}

	int32 ValidationErrorsBefore = 0;
};

/** "R G B A" of a colour, for failure messages. */
inline std::string Describe(const FColor& Color)
{
	return std::to_string(Color.R) + " " + std::to_string(Color.G) + " " + std::to_string(Color.B) + " " + std::to_string(Color.A);
}
