// Attach texts that name a server: handed to the client library as they stand, with the length
// rule counting the whole text, host and port included.
#include <gtest/gtest.h>

#include "tests/driver/driver_test_support.h"

using namespace drivertest;

TEST(HostPath, ServerQualifiedTextsReachTheClientUnchangedAndCountWhole) {
    Ref<SQLDriver> driver;
    ASSERT_EQ(DriverEntry()(FAKE_CLIENT, "", driver.out()), kResultOk);
    Ref<SQLConnection> connection;
    ASSERT_EQ(driver->createConnection(connection.out()), kResultOk);
    FakeClient fake;
    fake.reset();

    for (const std::string text : {"racehost:/srv/marlo/DB/MLDB.FDB", "192.168.1.20/3051:/srv/marlo/DB/MLDB.FDB",
                                   "inet://racehost:3051//srv/marlo/DB/MLDB.FDB", "racehost:C:\\MARLO\\DB\\MLDB.FDB"}) {
        fake.reset();
        ASSERT_EQ(connection->connect(text.c_str(), "SYSDBA", "pw"), kResultOk) << text;
        EXPECT_EQ(fake.calls("isc_attach_database").rfind("isc_attach_database path=" + text + " dpb=", 0), 0u)
            << fake.calls("isc_attach_database");
        EXPECT_EQ(connection->disconnect(), kResultOk);
    }

    // 128 characters in all, host and port included, still attach; one more is refused untried.
    const std::string prefix = "192.168.1.20/3051:/";
    const std::string longest = prefix + std::string(128 - prefix.size(), 'p');
    fake.reset();
    EXPECT_EQ(connection->connect(longest.c_str(), "SYSDBA", "pw"), kResultOk);
    EXPECT_EQ(connection->disconnect(), kResultOk);
    fake.reset();
    EXPECT_EQ(connection->connect((longest + "p").c_str(), "SYSDBA", "pw"), kResultAttachFailed);
    EXPECT_EQ(fake.log(), "");
    EXPECT_NE(ErrorText(connection.get()).find("128 characters"), std::string::npos);
}
