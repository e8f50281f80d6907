<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="ar">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>وكيل %1</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
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
        <source>Can't reach %1</source>
        <translation>تعذر الوصول إلى %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>خطأ في خدمة نظام %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
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
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>لا يستطيع وكيل %1 الحصول على معلومات اتصالات الإنترنت في هذا الكمبيوتر. ربما الكمبيوتر غير متصل بالإنترنت أو أن نوع اتصالك غير مدعوم بعد.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
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
        <source>Can't set up identification of this computer on service</source>
        <translation>تعذر إعداد تعريف هذا الكمبيوتر لدى الخدمة</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>بدء التصفية</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>أحدث إصدار مثبت</translation>
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
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;نسيت كلمة المرور&lt;/a&gt;</translation>
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
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;ليس لديك حساب؟&lt;/a&gt;</translation>
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
</context>
</TS>