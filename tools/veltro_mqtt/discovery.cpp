#include "discovery.h"

namespace veltro::tap {

namespace {

struct Entity {
    const char* key;       // also the unique id's tail
    const char* name;
    const char* platform;  // sensor or binary_sensor
    const char* extra;     // further JSON members, each with a leading comma
};

constexpr Entity kEntities[] = {
    {"forward_power", "Forward power", "sensor",
     R"(,"device_class":"power","unit_of_measurement":"W","state_class":"measurement","suggested_display_precision":2,"value_template":"{{ value_json.forward_w }}")"},
    {"power_dbm", "Power level", "sensor",
     R"(,"device_class":"signal_strength","unit_of_measurement":"dBm","state_class":"measurement","value_template":"{{ value_json.dbm | default(none) }}")"},
    {"swr", "SWR", "sensor",
     R"(,"state_class":"measurement","suggested_display_precision":2,"value_template":"{{ value_json.swr | default(none) }}")"},
    {"impedance", "Impedance", "sensor",
     R"(,"unit_of_measurement":"Ω","state_class":"measurement","value_template":"{{ value_json.z_ohm | default(none) }}")"},
    {"phase", "Phase", "sensor",
     R"(,"unit_of_measurement":"°","state_class":"measurement","value_template":"{{ value_json.phase_deg | default(none) }}")"},
    {"resistance", "Resistance", "sensor",
     R"(,"unit_of_measurement":"Ω","state_class":"measurement","value_template":"{{ value_json.r_ohm | default(none) }}")"},
    {"reactance", "Reactance", "sensor",
     R"(,"unit_of_measurement":"Ω","state_class":"measurement","value_template":"{{ value_json.x_ohm | default(none) }}")"},
    {"mode", "Mode", "sensor",
     R"(,"device_class":"enum","options":["Norm","Peak","Tune"],"value_template":"{{ value_json.mode | default(none) }}")"},
    {"alarm", "SWR alarm", "binary_sensor", R"(,"device_class":"problem","state_topic":"@/alarm")"},
    {"tx", "Transmitting", "binary_sensor", R"(,"device_class":"power","state_topic":"@/tx")"},
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

std::string discoveryObjectId(const std::string& id) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string object = "veltro_";
    for (const char c : id) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            object += c;
        } else {
            object += '_';
            object += kHex[byte >> 4];
            object += kHex[byte & 0xf];
        }
    }
    return object;
}

Discovery discoveryFor(const std::string& prefix, const std::string& baseTopic, const std::string& id) {
    const std::string object = discoveryObjectId(id);
    std::string json = R"({"dev":{"ids":[")" + object + R"("],"name":"Veltro wattmeter )" + id +
                       R"(","mf":"Veltro Instruments","mdl":"Veltro RF wattmeter"},)" +
                       R"("o":{"name":"veltro-mqtt","sw":")" VELTRO_VERSION R"("},)" +
                       R"("state_topic":"@/state","qos":1,)" +
                       R"("availability":[{"topic":"@/status"},{"topic":"@/link"}],)" +
                       R"("availability_mode":"all","cmps":{)";
    bool first = true;
    for (const Entity& entity : kEntities) {
        json += first ? "" : ",";
        first = false;
        json += std::string("\"") + entity.key + R"(":{"p":")" + entity.platform +
                R"(","name":")" + entity.name + R"(","unique_id":")" + object + "_" + entity.key +
                "\"" + entity.extra + "}";
    }
    json += "}}";
    // Earlier versions wrote '-' as '_', which let two ids share a device.
    const std::string former = prefix + "/device/veltro_" + replaceAll(id, "-", "_") + "/config";
    const std::string topic = prefix + "/device/" + object + "/config";
    return {topic, replaceAll(json, "@/", baseTopic + "/"), former != topic ? former : ""};
}

}  // namespace veltro::tap
