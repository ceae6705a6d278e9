#include "demo_contacts.h"

namespace kavrin::phone_files {

const std::vector<DemoContact>& demoContacts()
{
    static const std::vector<DemoContact> contacts = {
        { "Anna Lindqvist", 101, "_$!<Mobile>!$_", "+49 170 123 4567", { "anna.lindqvist@example.org" }, PhotoKind::Png, 0.58 },
        { "Maria José de la Vega", 102, "_$!<Home>!$_", "(030) 555-0142", { "maria@old.example.com", "maria.vega@example.com" }, PhotoKind::Jpeg, 0.02 },
        { " Olek Brandt", 103, "_$!<Work>!$_", "030 5550 199", {}, PhotoKind::Png, 0.33 },
        { "Ελένη Παππά", 104, "iPhone", "+30 210 555 0147", { "eleni@example.gr" }, PhotoKind::Jpeg, 0.75 },
        { "Дмитрий Соколов", 105, "_$!<Main>!$_", "+7 495 555-01-23", { "d.sokolov@example.ru" }, PhotoKind::None, 0 },
        { "山田 花子", 106, "_$!<HomeFAX>!$_", "+81 3 5550 1234", {}, PhotoKind::Png, 0.92 },
        { "Bartholomew Featherstonehaugh-Worthington", 107, "_$!<WorkFAX>!$_", "+44 20 7946 0958", { "bart@example.co.uk" }, PhotoKind::Jpeg, 0.12 },
        { "Lea", 108, "_$!<Pager>!$_", "0170 5550123", { "lea@example.net" }, PhotoKind::Png, 0.47 },
        { "نور الحسن", 109, "_$!<Other>!$_", "+971 4 555 0100", {}, PhotoKind::OtherFormatOnly, 0.66 },
        { "Karl Heinz Müller", 110, "Segelboot", "+49 40 555 0177", { "karl.mueller@example.de" }, PhotoKind::Png, 0.18 },
        { "Émile 👨‍👩‍👧", 111, "_$!<OtherFAX>!$_", "+33 1 55 50 12 34", {}, PhotoKind::None, 0 },
        { "김민준", 112, "_$!<Mobile>!$_", "+39 06 5550 4321", { "sofia.rossi@example.it" }, PhotoKind::Jpeg, 0.85 },
        { "Pizzeria Da Gino", std::nullopt, "_$!<Work>!$_", "+49 89 555 0110", {}, PhotoKind::None, 0 },
        { "Jonas Becker", 114, "iPhone", "+49 171 555 0188", { "jonas@example.de" }, PhotoKind::Png, 0.4 },
    };
    return contacts;
}

const std::vector<DemoContact>& scriptSampleContacts()
{
    static const std::vector<DemoContact> contacts = {
        { "Γιώργος Νικολάου", 201, "_$!<Mobile>!$_", "+30 690 555 0101", { "giorgos@example.gr" }, PhotoKind::Png, 0.62 },
        { "Анастасия Морозова", 202, "_$!<Home>!$_", "+7 912 555-02-02", {}, PhotoKind::Png, 0.05 },
        { "佐藤 健", 203, "_$!<Work>!$_", "+81 90 5550 0303", {}, PhotoKind::Png, 0.30 },
        { "ليلى حداد", 204, "_$!<Mobile>!$_", "+961 3 555 004", { "layla@example.lb" }, PhotoKind::Png, 0.80 },
        { "נועה כהן", 205, "_$!<Main>!$_", "+972 50 555 0505", {}, PhotoKind::Png, 0.45 },
        { "이서연", 206, "iPhone", "+82 10 5550 0606", { "seoyeon@example.kr" }, PhotoKind::Png, 0.95 },
    };
    return contacts;
}

}
