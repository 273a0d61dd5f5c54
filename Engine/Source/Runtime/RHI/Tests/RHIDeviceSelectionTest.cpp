#include "RHITestFixture.h"
#include "VulkanCommon.h"
#include "VulkanDeviceSelection.h"

#include <cstdlib>

namespace
{
	FRHIDeviceCandidate Device(const TCHAR* Name, const TCHAR* Type, const TCHAR* UnsuitableReason = TEXT(""))
	{
		return {FString(Name), FString(Type), FString(UnsuitableReason)};
	}

	/** The chosen device's name, or "error: <message>". */
	std::string Select(const TArray<FRHIDeviceCandidate>& Candidates, const TCHAR* Choice)
	{
		FString Error;
		const int32 Index = SelectRHIDevice(Candidates, FString(Choice), Error);
		EXPECT_EQ(Index == INDEX_NONE, !Error.IsEmpty());
		return Index == INDEX_NONE ? "error: " + Error.ToStdString() : Candidates[Index].Name.ToStdString();
	}

	/** Sets an environment variable for the scope, putting back what was there. */
	class FScopedEnvironment
	{
	public:
		FScopedEnvironment(const char* InName, const char* Value) : Name(InName)
		{
			if (const char* Old = std::getenv(Name))
			{
				OldValue = Old;
				bHadValue = true;
			}
			setenv(Name, Value, 1);
		}
		~FScopedEnvironment()
		{
			if (bHadValue)
			{
				setenv(Name, OldValue.c_str(), 1);
			}
			else
			{
				unsetenv(Name);
			}
		}

	private:
		const char* Name;
		std::string OldValue;
		bool bHadValue = false;
	};
}

TEST(RHIDeviceSelectionTest, WithoutAChoiceDiscreteBeatsIntegratedOrVirtualBeatsCpu)
{
	const TArray<FRHIDeviceCandidate> All = {Device(TEXT("llvmpipe"), TEXT("cpu")), Device(TEXT("Intel UHD"), TEXT("integrated")),
		Device(TEXT("Mystery"), TEXT("other")), Device(TEXT("NVIDIA H100"), TEXT("discrete"))};
	EXPECT_EQ(Select(All, TEXT("")), "NVIDIA H100");
	EXPECT_EQ(Select({Device(TEXT("llvmpipe"), TEXT("cpu")), Device(TEXT("virtio"), TEXT("virtual")), Device(TEXT("Intel UHD"), TEXT("integrated"))}, TEXT("")),
		"virtio")
		<< "integrated and virtual rank alike; the first listed wins";
	EXPECT_EQ(Select({Device(TEXT("Mystery"), TEXT("other")), Device(TEXT("llvmpipe"), TEXT("cpu"))}, TEXT("")), "llvmpipe");
	EXPECT_EQ(Select({Device(TEXT("Old GPU"), TEXT("discrete"), TEXT("Vulkan 1.1.0, 1.2 needed")), Device(TEXT("llvmpipe"), TEXT("cpu"))}, TEXT("")),
		"llvmpipe")
		<< "an unusable device is never chosen";
}

TEST(RHIDeviceSelectionTest, KindsAndNamesOverrideThePreference)
{
	const TArray<FRHIDeviceCandidate> All = {Device(TEXT("NVIDIA H100"), TEXT("discrete")), Device(TEXT("llvmpipe (LLVM 15.0.6)"), TEXT("cpu")),
		Device(TEXT("Intel UHD"), TEXT("integrated")), Device(TEXT("NVIDIA T4"), TEXT("discrete"))};
	EXPECT_EQ(Select(All, TEXT("cpu")), "llvmpipe (LLVM 15.0.6)");
	EXPECT_EQ(Select(All, TEXT(" CPU ")), "llvmpipe (LLVM 15.0.6)") << "letter case and surrounding spaces do not matter";
	EXPECT_EQ(Select(All, TEXT("gpu")), "NVIDIA H100");
	EXPECT_EQ(Select({Device(TEXT("llvmpipe"), TEXT("cpu")), Device(TEXT("Intel UHD"), TEXT("integrated"))}, TEXT("GPU")), "Intel UHD");
	EXPECT_EQ(Select(All, TEXT("intel")), "Intel UHD");
	EXPECT_EQ(Select(All, TEXT("nvidia")), "NVIDIA H100") << "the first device whose name matches";
	EXPECT_EQ(Select(All, TEXT("t4")), "NVIDIA T4");
}

TEST(RHIDeviceSelectionTest, AChoiceNoDeviceSatisfiesListsTheDevices)
{
	const TArray<FRHIDeviceCandidate> All = {Device(TEXT("llvmpipe"), TEXT("cpu")),
		Device(TEXT("Old GPU"), TEXT("discrete"), TEXT("VK_KHR_push_descriptor missing"))};
	EXPECT_EQ(Select(All, TEXT("radeon")),
		"error: VORPEX_RHI_DEVICE is 'radeon', which names no usable Vulkan device. Devices: 'llvmpipe' (cpu), 'Old GPU' (discrete, unusable: "
		"VK_KHR_push_descriptor missing)");
	EXPECT_EQ(Select(All, TEXT("old gpu")),
		"error: VORPEX_RHI_DEVICE is 'old gpu', which names no usable Vulkan device. Devices: 'llvmpipe' (cpu), 'Old GPU' (discrete, unusable: "
		"VK_KHR_push_descriptor missing)");
	EXPECT_EQ(Select(All, TEXT("gpu")),
		"error: VORPEX_RHI_DEVICE is 'gpu' but no usable GPU device exists. Devices: 'llvmpipe' (cpu), 'Old GPU' (discrete, unusable: "
		"VK_KHR_push_descriptor missing)");
	EXPECT_EQ(Select({}, TEXT("")), "error: No Vulkan device can run the RHI. Devices: none");
}

class RHIDeviceOverrideTest : public FRHITestFixture
{
};

TEST_F(RHIDeviceOverrideTest, TheEnvironmentChoosesTheDeviceAtStart)
{
	RHIExit();
	{
		FScopedEnvironment Choice("VORPEX_RHI_DEVICE", "no-such-device-anywhere");
		const std::string Message = CheckMessageOf([] { RHIInit(); });
		EXPECT_EQ(Message.rfind("VORPEX_RHI_DEVICE is 'no-such-device-anywhere', which names no usable Vulkan device. Devices: '", 0), 0u) << Message;
		EXPECT_FALSE(IsRHIInitialized()) << "a failed start leaves nothing running";
	}
	{
		FScopedEnvironment Choice("VORPEX_RHI_DEVICE", "cpu");
		try
		{
			RHIInit();
		}
		catch (const FCheckFailure& Failure)
		{
			GTEST_SKIP() << "no CPU Vulkan device here: " << Failure.GetMessage();
		}
		EXPECT_EQ(GetRHIDeviceInfo().DeviceType, TEXT("cpu"));
		EXPECT_TRUE(GetRHIDeviceInfo().DeviceName.Contains(TEXT("llvmpipe"))) << GetRHIDeviceInfo().DeviceName.ToStdString();
	}
	// The choice is read at start only; the next start goes back to the default.
	RHIExit();
	RHIInit();
	EXPECT_TRUE(IsRHIInitialized());
	EXPECT_GE(GetRHIDeviceInfo().ApiVersion, uint32(VK_API_VERSION_1_2));
}
