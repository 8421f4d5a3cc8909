// The TALVEN module end to end: loaded from its bundle by our AAX host, described, instantiated, rendered,
// and saved and restored as chunks, as a host sees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AAX_Errors.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"
#include "IPlugAAX_Describe.h"
#include "Instance.h"
#include "Module.h"
#include "ParameterThread.h"
#include "RecordingDescription.h"

#ifndef TALVEN_MODULE
#error "TALVEN_MODULE names the bundle under test"
#endif

namespace {

using namespace aaxhost;

constexpr AAX_CTypeID kTalvenID = 0x544C5631; // 'TLV1'

std::shared_ptr<Module> LoadTalven(LoadOptions options = {})
{
  std::string error;
  std::shared_ptr<Module> module = Module::Load(TALVEN_MODULE, error, std::move(options));
  EXPECT_TRUE(module) << error;
  return module;
}

std::unique_ptr<Instance> Make(const std::shared_ptr<Module>& module, ParameterThread& thread, std::size_t component)
{
  std::string error;
  InstanceOptions options;
  options.mComponent = component;
  std::unique_ptr<Instance> instance = Instance::Create(module, thread, options, error);
  EXPECT_TRUE(instance) << error;
  return instance;
}

std::vector<std::string> HostParameterIDs(const Instance& instance)
{
  std::vector<std::string> ids;
  for (const ParameterInfo& info : instance.ListParameters())
    ids.push_back(info.mID);
  return ids;
}

TEST(TalvenModule, DescribesOneEffectWithAComponentPerChannelConfiguration)
{
  std::shared_ptr<Module> module = LoadTalven();
  ASSERT_TRUE(module);
  const ModuleDescription& description = module->Description();
  EXPECT_EQ(description.mManufacturer, "Brasswick");
  EXPECT_EQ(description.mPackageVersion, 0x00040000u);
  EXPECT_EQ(description.mPackageNames, std::vector<std::string>{"TALVEN"});
  ASSERT_EQ(description.mEffects.size(), 1u);
  const EffectDescription& effect = description.mEffects[0];
  EXPECT_EQ(effect.mEffectID, "com.Brasswick.aax.TALVEN");
  EXPECT_EQ(effect.mNames, std::vector<std::string>{"TALVEN"});
  EXPECT_EQ(effect.mCategories, std::vector<uint32_t>{1});
  EXPECT_NE(effect.mCreateEffect, nullptr);
  EXPECT_NE(effect.mCreateEditor, nullptr);
  ASSERT_EQ(effect.mComponents.size(), 2u);

  struct Expected
  {
    int32_t format;
    AAX_CTypeID nativeID, audioSuiteID;
  };
  const Expected expected[] = {{0x00000001, AAX_FourCC("IEF1"), AAX_FourCC("IEA1")},
                               {0x00010002, AAX_FourCC("IEF2"), AAX_FourCC("IEA2")}};
  for (std::size_t i = 0; i < 2; ++i)
  {
    const ComponentDescription& component = effect.mComponents[i];
    ASSERT_EQ(component.mProcedures.size(), 1u);
    std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>> properties;
    for (const Property& p : component.mProcedures[0].mProperties)
      properties.emplace_back(p.mID, p.mValue);
    const std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>> wanted = {
      {56, 0},
      {51, expected[i].format},
      {52, expected[i].format},
      {60, 1},
      {300, 1},
      {306, 1},
      {11, static_cast<AAX_CPropertyValue>(AAX_FourCC("Bwck"))},
      {12, static_cast<AAX_CPropertyValue>(AAX_FourCC("TLV1"))},
      {13, static_cast<AAX_CPropertyValue>(expected[i].nativeID)},
      {14, static_cast<AAX_CPropertyValue>(expected[i].audioSuiteID)},
    };
    EXPECT_EQ(properties, wanted) << "component " << i;

    // real MIDI nodes only for the transport; the other node fields and the meters are placeholders
    const FieldDeclaration* transport = component.Field(7);
    ASSERT_NE(transport, nullptr);
    EXPECT_EQ(transport->mKind, EFieldKind::eMidiNode);
    EXPECT_EQ(transport->mNodeKind, AAX_eMIDINodeKind_Transport);
    EXPECT_EQ(transport->mName, "Transport");
    for (AAX_CFieldIndex field : {4, 5, 6, 8, 15, 22, 24})
    {
      ASSERT_NE(component.Field(field), nullptr) << field;
      EXPECT_EQ(component.Field(field)->mKind, EFieldKind::ePrivateData) << field;
      EXPECT_EQ(component.Field(field)->mSize, 4) << field;
    }
    EXPECT_EQ(component.Field(26), nullptr);
    ASSERT_NE(component.Field(23), nullptr);
    EXPECT_EQ(component.Field(23)->mSize, 8);
    ASSERT_NE(component.Field(25), nullptr);
    EXPECT_EQ(component.Field(25)->mKind, EFieldKind::eDataInPort);
    EXPECT_EQ(component.Field(25)->mPacketSize, 8u);
    EXPECT_EQ(component.Field(0)->mKind, EFieldKind::eAudioIn);
    EXPECT_EQ(component.Field(1)->mKind, EFieldKind::eAudioOut);
  }
  EXPECT_EQ(module->SDKVersion(), 0x00000204013449EAull);
}

TEST(TalvenModule, RejectedAudioInputIsTracedTwiceAndItsCodeReturned)
{
  LoadOptions options;
  options.mFault = {"AddAudioIn", AAX_ERROR_UNIMPLEMENTED};
  options.mServices = HostRef<HostServices>(new HostServices);
  HostRef<HostServices> services = options.mServices;
  std::string error;
  EXPECT_FALSE(Module::Load(TALVEN_MODULE, error, options));
  EXPECT_NE(error.find("-20009"), std::string::npos) << error;

  std::vector<std::string> traces;
  for (const TraceMessage& trace : services->Traces())
    traces.push_back(trace.mText);
  const std::vector<std::string> expected = {"AAX_CheckedResult - throwing AAX_ERROR_UNIMPLEMENTED",
                                             "AAXRegisterPlugin exception caught: AAX_ERROR_UNIMPLEMENTED"};
  EXPECT_EQ(traces, expected);
}

TEST(TalvenModule, ClassFactoryAndComponentRegistrationGiveNothing)
{
  std::shared_ptr<Module> module = LoadTalven();
  ASSERT_TRUE(module);
  void* factory = &factory;
  EXPECT_EQ(module->Exports().mGetClassFactory(nullptr, nullptr, nullptr, &factory), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(factory, nullptr);
  IACFUnknown* component = reinterpret_cast<IACFUnknown*>(&factory);
  EXPECT_EQ(module->Exports().mRegisterComponent(nullptr, nullptr, &component), ACF_OK);
  EXPECT_EQ(component, nullptr);
}

TEST(TalvenModule, ChunkRestoredIntoANewInstanceFollowsOnTheHostAndComparesEqual)
{
  std::shared_ptr<Module> module = LoadTalven();
  ASSERT_TRUE(module);
  ParameterThread thread;
  {
    std::unique_ptr<Instance> first = Make(module, thread, 1);
    ASSERT_TRUE(first);
    first->SendHostUpdate("1", 0.8);
    first->SendHostUpdate("14", 0.3);
    first->SendHostUpdate("19", 0.0);
    first->WaitForParameterThread();
    std::vector<HostChunk> chunks;
    std::string error;
    ASSERT_TRUE(first->SaveChunks(chunks, error)) << error;
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].mID, kTalvenID);
    EXPECT_EQ(chunks[0].mData.size(), 188u);

    std::unique_ptr<Instance> second = Make(module, thread, 1);
    ASSERT_TRUE(second);
    second->Automation().ClearEvents();
    ASSERT_TRUE(second->RestoreChunks(chunks, error)) << error;

    std::vector<std::string> requested;
    for (const AutomationEvent& event : second->Automation().Events())
      if (event.mKind == EAutomationEvent::eSetValueRequest)
        requested.push_back(event.mID);
    std::vector<std::string> ids = HostParameterIDs(*second);
    ids.erase(ids.begin()); // the master bypass is no part of the state
    EXPECT_EQ(requested, ids);
    for (const std::string& id : ids)
      EXPECT_NEAR(second->NormalizedValue(id), first->NormalizedValue(id), 1e-9) << id;

    bool equal = false;
    ASSERT_TRUE(second->CompareChunk(chunks[0], equal, error)) << error;
    EXPECT_TRUE(equal);
    second->SendHostUpdate("1", 0.1);
    second->WaitForParameterThread();
    ASSERT_TRUE(second->CompareChunk(chunks[0], equal, error)) << error;
    EXPECT_FALSE(equal);
  }
  EXPECT_EQ(module->LiveObjects(), 0);
}

TEST(TalvenModule, HostBypassPassesTheSignalDelayedByTheReportedLatency)
{
  std::shared_ptr<Module> module = LoadTalven();
  ASSERT_TRUE(module);
  ParameterThread thread;
  std::unique_ptr<Instance> instance = Make(module, thread, 1);
  ASSERT_TRUE(instance);
  std::vector<float> in[2] = {std::vector<float>(64), std::vector<float>(64)};
  std::vector<float> out[2] = {std::vector<float>(64), std::vector<float>(64)};
  float* inputs[] = {in[0].data(), in[1].data()};
  float* outputs[] = {out[0].data(), out[1].data()};
  ASSERT_TRUE(instance->Render(inputs, outputs, 64));
  EXPECT_EQ(instance->Latency(), 16);

  std::string bypass;
  ASSERT_TRUE(instance->MasterBypassID(bypass));
  EXPECT_EQ(bypass, "");
  instance->SendHostUpdate(bypass, 1.0);
  instance->WaitForParameterThread();
  in[0][5] = 0.5f;
  ASSERT_TRUE(instance->Render(inputs, outputs, 64));
  for (std::size_t i = 0; i < 64; ++i)
    EXPECT_EQ(out[0][i], i == 21 ? 0.5f : 0.f) << i;
}

// ---- descriptions other than TALVEN's own, recorded in-process

class DescriptionTest : public ::testing::Test
{
protected:
  DescriptionTest() { AAX_InstallHostServices(static_cast<AAX_IHostServices*>(services.Get())); }
  ~DescriptionTest() override { AAX_RemoveHostServices(); }

  ModuleDescription Describe(const char* channelIO)
  {
    iplug::AAX_SIPlugDescription description = iplug::GetAAXDescription();
    description.mChannelIO = channelIO;
    description.mNativeIDs = kNativeIDs;
    description.mAudioSuiteIDs = kAudioSuiteIDs;
    HostRef<RecordingCollection> collection(new RecordingCollection);
    AAX_VCollection wrapper(static_cast<AAX_ICollection*>(collection.Get()));
    EXPECT_EQ(iplug::DescribeEffect(wrapper, description), AAX_SUCCESS);
    return collection->Finish();
  }

  static constexpr AAX_CTypeID kNativeIDs[] = {AAX_FourCC("NAT1"), AAX_FourCC("NAT2")};
  static constexpr AAX_CTypeID kAudioSuiteIDs[] = {AAX_FourCC("AUS1"), AAX_FourCC("AUS2")};
  HostRef<HostServices> services{new HostServices};
};

TEST_F(DescriptionTest, SecondOutputBusIsAnAuxiliaryStemAndSecondInputBusASideChain)
{
  const ModuleDescription description = Describe("2-2.1 2.1-2");
  ASSERT_EQ(description.mEffects.size(), 1u);
  const std::vector<ComponentDescription>& components = description.mEffects[0].mComponents;
  ASSERT_EQ(components.size(), 2u);

  ASSERT_EQ(components[0].mAuxOutputStems.size(), 1u);
  EXPECT_EQ(components[0].mAuxOutputStems[0].mStemFormat, 0x00000001);
  EXPECT_EQ(components[0].mAuxOutputStems[0].mName, "Output 2");
  AAX_CPropertyValue value = 0;
  EXPECT_FALSE(components[0].FindProperty(AAX_eProperty_SideChainInput, value));
  EXPECT_EQ(components[0].Field(26), nullptr);

  EXPECT_TRUE(components[1].mAuxOutputStems.empty());
  ASSERT_TRUE(components[1].FindProperty(AAX_eProperty_SideChainInput, value));
  EXPECT_EQ(value, 1);
  ASSERT_NE(components[1].Field(26), nullptr);
  EXPECT_EQ(components[1].Field(26)->mKind, EFieldKind::eSideChainIn);
  EXPECT_EQ(components[1].InputStemFormat(), AAX_eStemFormat_Stereo);
  EXPECT_TRUE(services->Assertions().empty());
}

TEST_F(DescriptionTest, ConfigurationWithoutItsOwnIDsIsLeftOutAndReported)
{
  const ModuleDescription description = Describe("1-1 2-2 1-2");
  ASSERT_EQ(description.mEffects.size(), 1u);
  const std::vector<ComponentDescription>& components = description.mEffects[0].mComponents;
  ASSERT_EQ(components.size(), 2u);
  AAX_CPropertyValue id = 0;
  ASSERT_TRUE(components[1].FindProperty(AAX_eProperty_NativePlugInID, id));
  EXPECT_EQ(static_cast<AAX_CTypeID>(id), AAX_FourCC("NAT2"));
  ASSERT_EQ(services->Assertions().size(), 1u);
  EXPECT_EQ(services->Assertions()[0].mPath, "IPlug\\AAX\\IPlugAAX_Describe");
}

} // namespace
