<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ar">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>وكيل %1</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation>تعذر الاتصال بخدمة نظام %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>انقطع الاتصال بخدمة نظام %1</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>أدخل كلمة المرور للوصول إلى إعدادات الوكيل</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>أدخل كلمة المرور لإيقاف التصفية</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>أدخل كلمة المرور لتعيين الملف الشخصي النشط</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>أدخل كلمة المرور لإلغاء تثبيت %1</translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation>تعذر الوصول إلى %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>خطأ في خدمة نظام %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation>جزء الخدمة من وكيل %1 لا يعمل. ربما لا تزال الخدمة قيد التشغيل. إذا لم تبدأ خلال دقيقة فحاول تشغيلها يدويًا. لاحظ أن وكيل %1 لا يعمل بدون هذه الخدمة.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>جارٍ الاتصال بخدمة نظام %1...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>تم الاتصال بخدمة نظام %1 بنجاح، وهي الآن بانتظار انتهاء خطوات التهيئة</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>فشل التعريف</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>التصفية معطّلة</translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>لا يستطيع وكيل %1 الحصول على معلومات اتصالات الإنترنت في هذا الكمبيوتر. ربما الكمبيوتر غير متصل بالإنترنت أو أن نوع اتصالك غير مدعوم بعد.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>التصفية غير مفعّلة على أي من اتصالات الشبكة. لتفعيلها انقر زر الإعدادات.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>التصفية متوقفة</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>لتشغيل التصفية انقر الزر في الزاوية السفلية</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>الإنترنت تحت السيطرة</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>هذا الكمبيوتر متصل بالخدمة بنجاح وتتم تصفيته وفق إعدادات حسابك</translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>تعذر إعداد تعريف هذا الكمبيوتر لدى الخدمة</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>بدء التصفية</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>إعدادات التصفية غير متاحة الآن</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>جارٍ جمع المعلومات. قد يستغرق ذلك حتى دقيقتين.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>أحدث إصدار مثبت</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>أجاب موقع التحديثات برمز حالة HTTP %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>العنوان %1 غير آمن: لا تأتي التحديثات إلا من عناوين https</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>عنوان التنزيل غير صالح</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>حجم برنامج التثبيت أكبر من %1 ميبيبايت</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>جارٍ تنزيل التحديث</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>الفئات</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>حدّد فئات المواقع المراد حظرها</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>لا يمكن تغيير الفئات ما دامت القائمة البيضاء وحدها مستخدمة</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>القائمتان البيضاء والسوداء</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>القائمة البيضاء</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>مواقع لا تُحظر أبدًا</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>إضافة</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>القائمة السوداء</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>مواقع تُحظر دائمًا</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>الأسماء البديلة</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>يُترجم نطاق من قائمة الأسماء البديلة إلى العنوان الذي تحدده</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>الجدول الزمني</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>استخدام الجدول الزمني</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>الساعات الخضراء: الملف الشخصي يُصفّي. تُضبط الساعات في موقع الحساب.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>متقدم</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>استخدام القائمة البيضاء فقط</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>حظر المواقع غير المعروفة</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>فرض البحث الآمن</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>فرض الوضع المقيّد في YouTube</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>الملفات الشخصية</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>اسم ملف شخصي جديد</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>إضافة</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>المستخدمون المحليون</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>ربط المستخدمين المحليين بالملفات الشخصية</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>يصبح الملف الشخصي للمستخدم الذي يسجّل الدخول على هذا الحاسوب هو النشط</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>معلومات النظام</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>حفظ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>لم يُعطَ اسم ملف</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>حفظ معلومات النظام</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>ملفات نصية (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>تعذّر حفظ التقرير في %1: %2</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>إيقاف التصفية</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>حتى التشغيل أو إعادة التشغيل</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 دقائق</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 دقيقة</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>ساعة واحدة</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>خروج</translation>
    </message>
</context>
<context>
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>مستخدم محلي</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>الملف الشخصي</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>تصغير</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>إغلاق</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>الرئيسية</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>الإعدادات</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>المساعدة</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>التصفية</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>كلمة المرور</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;نسيت كلمة المرور&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>إلغاء</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>فتح القفل</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>البريد الإلكتروني</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>تسجيل الدخول</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;ليس لديك حساب؟&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>عام</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>حماية الإعدادات بكلمة المرور</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>إظهار أيقونة الوكيل في علبة النظام</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>التحقق من التحديثات تلقائيًا</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>اتصالات الشبكة</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>اتصالات الشبكة المحمية</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>متقدم</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>خادم DNS</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>استخدام</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>الهاتف</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>الموقع</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>الإصدار</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>لجعل عمل الدعم الفني أكثر فاعلية يرجى إرسال تقرير معلومات النظام مع وصف لمشكلتك</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>الدليل</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>الحصول على الدعم</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>معلومات النظام</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>التحقق من التحديثات</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>الملفات الشخصية</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>إعدادات تصفية المحتوى</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>فئات المواقع والاستثناءات والأسماء البديلة</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>ملفات التصفية والمستخدمون المحليون</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>الإعدادات العامة</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>بدء التشغيل والتحديثات واتصالات الشبكة</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>إعدادات المصادقة</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>اسم الدخول وكلمة المرور</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>كلمة المرور غير صحيحة</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>اسم الدخول أو كلمة المرور غير صحيحة</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>نشط</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>هل تريد حقًا حذف الملف الشخصي %1؟</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>نعم</translation>
    </message>
    <message>
        <source>No</source>
        <translation>لا</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>التفاصيل</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>تثبيت</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>إخفاء</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>يصل هذا التحديث عبر تحديثات البرامج في النظام</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>يتوفر إصدار جديد من %1 (%2)</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>الملف الشخصي الذي تُعرض إعداداته</translation>
    </message>
</context>
</TS>
