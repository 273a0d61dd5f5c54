#pragma once

// FPlugin: a plug-in found on disk, as IPluginManager hands it out.

#include "Interfaces/IPluginManager.h"

class FPlugin final : public IPlugin
{
public:
	/** DescriptorFileName is a full path; the descriptor is the file's content, already read. */
	FPlugin(const FString& InDescriptorFileName, FPluginDescriptor InDescriptor);

	const FString& GetName() const override { return Name; }
	const FString& GetFriendlyName() const override;
	const FString& GetDescriptorFileName() const override { return DescriptorFileName; }
	FString GetBaseDir() const override;
	FString GetContentDir() const override;
	const FPluginDescriptor& GetDescriptor() const override { return Descriptor; }

private:
	FString Name;
	FString DescriptorFileName;
	FPluginDescriptor Descriptor;
};
