// The exported entry, the binding of the client library and the driver object's options.
#include <gtest/gtest.h>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

TEST(DriverEntry, NullOutPointerIsRefused) {
    EXPECT_EQ(DriverEntry()(FAKE_CLIENT, "", nullptr), kResultNotCreated);
}

TEST(DriverEntry, UnloadableClientStillHandsOutAUsableDriver) {
    SQLDriver* driver = nullptr;
    EXPECT_EQ(DriverEntry()("/nonexistent/libnothing.so", "", &driver), kResultClientNotLoaded);
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(driver->AddRef(), 2);
    EXPECT_EQ(driver->Release(), 1);

    Ref<SQLConnection> connection;
    ASSERT_EQ(driver->createConnection(connection.out()), kResultOk);
    EXPECT_EQ(connection->connect("/tmp/x.fdb", "u", "p"), kResultClientNotLoaded);
    connection.reset();
    EXPECT_EQ(driver->Release(), 0);
}

TEST(DriverEntry, BindsByNameWithOnlyTheRequiredEntriesMandatory) {
    struct Case {
        const char* library;
        ResultCode expected;
    };
    for (Case c : {Case{FAKE_CLIENT, kResultOk}, Case{FAKE_CLIENT_NO_OPTIONAL, kResultOk},
                   Case{FAKE_CLIENT_NO_DESCRIBE_BIND, kResultClientNotLoaded}, Case{kRealClient, kResultOk}}) {
        Ref<SQLDriver> driver;
        EXPECT_EQ(DriverEntry()(c.library, nullptr, driver.out()), c.expected) << c.library;
        EXPECT_NE(driver.get(), nullptr);
    }
}

TEST(DriverEntry, LibraryMissingARequiredEntryCannotConnect) {
    FakeClient fake(FAKE_CLIENT_NO_DESCRIBE_BIND);
    Ref<SQLDriver> driver;
    DriverEntry()(FAKE_CLIENT_NO_DESCRIBE_BIND, "", driver.out());
    Ref<SQLConnection> connection;
    driver->createConnection(connection.out());
    EXPECT_EQ(connection->connect("/db/x.fdb", "u", "p"), kResultClientNotLoaded);
    EXPECT_EQ(fake.log(), "");
}

TEST(DriverOptions, BlobSizeIsKeptAndHandedToNewConnections) {
    Ref<SQLDriver> driver;
    ASSERT_EQ(DriverEntry()(FAKE_CLIENT, "", driver.out()), kResultOk);
    std::int32_t blobSize = 0;
    EXPECT_EQ(driver->getOption(kDriverOptionBlobSize, &blobSize, 4, nullptr), kResultOk);
    EXPECT_EQ(blobSize, 1024);
    EXPECT_EQ(driver->setOption(kDriverOptionBlobSize, 4096), kResultOk);
    EXPECT_EQ(driver->getOption(kDriverOptionBlobSize, &blobSize, 4, nullptr), kResultOk);
    EXPECT_EQ(blobSize, 4096);

    Ref<SQLConnection> connection;
    ASSERT_EQ(driver->createConnection(connection.out()), kResultOk);
    std::int32_t connectionBlobSize = 0;
    EXPECT_EQ(connection->getOption(kConnOptionBlobSize, &connectionBlobSize, 4, nullptr), kResultOk);
    EXPECT_EQ(connectionBlobSize, 4096);
    EXPECT_EQ(driver->createConnection(nullptr), kResultOk);
}

TEST(DriverOptions, OnlyTheKnownOptionsAreAccepted) {
    Ref<SQLDriver> driver;
    DriverEntry()(FAKE_CLIENT, "", driver.out());
    EXPECT_EQ(driver->setOption(kDriverOptionTraceCallback, 0), kResultOk);
    EXPECT_EQ(driver->setOption(kDriverOptionTraceClientData, 7), kResultOk);
    EXPECT_EQ(driver->setOption(3, 1), kResultOk);
    EXPECT_EQ(driver->setOption(4, 1), kResultNotSupported);
    EXPECT_EQ(driver->setOption(0x100 | 3, 1), kResultOk);  // only the low 8 bits count
    std::int32_t value = -1;
    EXPECT_EQ(driver->getOption(kDriverOptionTraceClientData, &value, 4, nullptr), kResultNotSupported);
    EXPECT_EQ(driver->getOption(3, &value, 4, nullptr), kResultNotSupported);
    EXPECT_EQ(value, -1);
    EXPECT_EQ(driver->getOption(kDriverOptionBlobSize, nullptr, 4, nullptr), kResultMissingPointer);
}

// Callers outside C++ reach the operations by slot number; a virtual destructor or a reordered
// declaration in an interface would move them.
TEST(DriverEntry, OperationsSitInTheirSlots) {
    Ref<SQLDriver> driver;
    DriverEntry()(FAKE_CLIENT, "", driver.out());
    using GetOption = ResultCode (*)(SQLDriver*, std::uint32_t, void*, std::int16_t, std::int16_t*);
    void** slots = *reinterpret_cast<void***>(driver.get());
    std::int32_t blobSize = 0;
    EXPECT_EQ(reinterpret_cast<GetOption>(slots[5])(driver.get(), kDriverOptionBlobSize, &blobSize, 4, nullptr),
              kResultOk);
    EXPECT_EQ(blobSize, 1024);

    Ref<SQLConnection> connection;
    driver->createConnection(connection.out());
    using GetErrorLength = ResultCode (*)(SQLConnection*, std::int16_t*);
    void** connectionSlots = *reinterpret_cast<void***>(connection.get());
    std::int16_t length = 0;
    EXPECT_EQ(reinterpret_cast<GetErrorLength>(connectionSlots[13])(connection.get(), &length), kResultOk);
    EXPECT_EQ(length, 1);
}
